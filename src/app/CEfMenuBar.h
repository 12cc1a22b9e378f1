#pragma once

#include <map>

// The toolkit's menu as the host sees it: an item is enabled or disabled by its command
// identifier (CTarnCommandId).
class CEfMenuBarSink {
public:
    virtual ~CEfMenuBarSink() = default;
    virtual void SetCommandEnabled(int command, bool enabled) = 0;
};

// Wraps the main window's menu once the window exists. It keeps the state it was given, so the
// state can be read back (and set before a menu is attached).
class CEfMenuBar {
public:
    // The sink stays owned by the caller; null detaches.
    void Attach(CEfMenuBarSink* sink);
    void EnableCommand(int command, bool enabled);
    // Commands never set read as enabled.
    bool IsCommandEnabled(int command) const;

private:
    CEfMenuBarSink* sink_ = nullptr;
    std::map<int, bool> enabled_;
};
