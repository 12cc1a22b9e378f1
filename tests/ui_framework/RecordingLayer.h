#pragma once

#include <QMimeData>
#include <memory>
#include <string>
#include <vector>

#include "ui/framework/CTarnLayerBase.h"

// A page layer that records what its controls and the window hand it. With `echo` it sets a
// control's value when the control reports a change, as the pages do.
class RecordingLayer : public CTarnLayerBase {
public:
    struct Event {
        std::string what;
        std::string key;
        int value = 0;
        std::string text;
        QPoint position;
    };

    explicit RecordingLayer(std::vector<std::string>* log = nullptr, std::string name = {})
        : log_(log), name_(std::move(name)) {}

    void OnEfControlClicked(CEfControl* control) override { Record("clicked", control); }
    void OnEfControlChanged(CEfControl* control, int value) override {
        Record("changed", control, value);
        if (echo) {
            control->SetValue(value);
        }
    }
    void OnEfControlTextChanged(CEfControl* control, const std::string& text) override {
        Record("text", control, 0, text);
    }
    void OnEfControlPressed(CEfControl* control, QPoint position) override {
        Record("pressed", control, 0, {}, position);
    }
    void OnEfControlClickedAt(CEfControl* control, QPoint position) override {
        Record("clickedAt", control, 0, {}, position);
    }
    std::unique_ptr<QMimeData> OnEfControlBeginDrag(CEfControl* control, QPoint) override {
        Record("beginDrag", control);
        return nullptr;
    }
    EfDropEffect OnEfControlDragOver(CEfControl* control, const CEfDragInfo& info) override {
        lastDrag = info;
        lastDragControl = control;
        Record("dragOver", control);
        return AnswerFor(control, info);
    }
    EfDropEffect OnEfControlDrop(CEfControl* control, const CEfDragInfo& info) override {
        lastDrag = info;
        lastDragControl = control;
        Record("drop", control);
        return AnswerFor(control, info);
    }
    bool OnEfMessageReceived(CEfMessageManagerApp*, int32_t type, int32_t p1, int32_t, int32_t,
                             int32_t, CEfMessageManagerListener*) override {
        if (log_ != nullptr) {
            log_->push_back(name_ + ":" + std::to_string(type) + ":" + std::to_string(p1));
        }
        return false;
    }
    void OnEfLayerTick(int elapsedMs) override { ticks.push_back(elapsedMs); }
    void OnEfLayerShown() override { ++shown; }

    // Drops are taken on `acceptKey` only ("" for the layer itself), for `acceptFormat`.
    EfDropEffect AnswerFor(CEfControl* control, const CEfDragInfo& info) const {
        const std::string key = control != nullptr ? control->Key() : "";
        if (key != acceptKey) {
            return EfDropEffect::kNone;
        }
        if (!acceptFormat.empty() && !info.HasFormat(acceptFormat)) {
            return EfDropEffect::kNone;
        }
        return info.CopyModifier() ? EfDropEffect::kCopy : EfDropEffect::kMove;
    }

    std::vector<Event> events;
    std::vector<int> ticks;
    int shown = 0;
    bool echo = true;
    std::string acceptKey = "-";
    std::string acceptFormat;
    CEfDragInfo lastDrag;
    CEfControl* lastDragControl = nullptr;

    std::vector<Event> EventsOf(const std::string& what) const {
        std::vector<Event> out;
        for (const Event& e : events) {
            if (e.what == what) {
                out.push_back(e);
            }
        }
        return out;
    }

private:
    void Record(const char* what, CEfControl* control, int value = 0, std::string text = {},
                QPoint position = {}) {
        events.push_back(
            {what, control != nullptr ? control->Key() : "", value, std::move(text), position});
    }

    std::vector<std::string>* log_;
    std::string name_;
};
