#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/CEfImage.h"
#include "framework/CEfSemaphore.h"

// The editor's pictures: a table of 57 names, each the name of an embedded PNG, decoded on its
// first request and kept. A process-wide, reference-counted singleton: Acquire creates it on the
// first call (and fails, leaving it empty, when its initialisation fails), Release destroys it
// when the count returns to 0. The picture set (1x or 2x) is chosen before the first acquire.
class CTarnResourceManager {
public:
    static constexpr size_t kImageCount = 57;
    static constexpr size_t kNameFieldSize = 56;

    // Null when the singleton could not be created.
    static CTarnResourceManager* Acquire();
    static void Release();
    // The living singleton or null; does not count.
    static CTarnResourceManager* Instance();
    static int RefCount();

    // 1 or 2; takes effect for the next creation of the singleton.
    static void SetPreferredScale(int scale);

    // The decoded picture or null (trace "Failed to get bitmap (%s)"). Safe from any thread; the
    // picture lives as long as the manager.
    const CEfImage* GetImage(const std::string& name);
    // The table's names in order.
    static const std::array<const char*, kImageCount>& ImageNames();
    int Scale() const { return scale_; }

    // The lock the manager's users share (initial count 1).
    CEfSemaphore& Lock() { return lock_; }

private:
    explicit CTarnResourceManager(int scale);
    bool Initialize();

    int scale_;
    std::array<std::array<char, kNameFieldSize>, kImageCount> names_{};
    std::map<std::string, size_t> index_;
    std::array<bool, kImageCount> loaded_{};
    // Pictures whose data is missing or damaged are not decoded again.
    std::array<bool, kImageCount> failed_{};
    std::array<CEfImage, kImageCount> images_{};
    CEfSemaphore lock_{1, "ResourceManager"};
};
