#include "app/CEfMenuBar.h"

void CEfMenuBar::Attach(CEfMenuBarSink* sink) {
    sink_ = sink;
    if (sink_) {
        for (const auto& [command, enabled] : enabled_) {
            sink_->SetCommandEnabled(command, enabled);
        }
    }
}

void CEfMenuBar::EnableCommand(int command, bool enabled) {
    enabled_[command] = enabled;
    if (sink_) {
        sink_->SetCommandEnabled(command, enabled);
    }
}

bool CEfMenuBar::IsCommandEnabled(int command) const {
    const auto it = enabled_.find(command);
    return it == enabled_.end() || it->second;
}
