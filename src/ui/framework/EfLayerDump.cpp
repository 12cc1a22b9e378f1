#include "ui/framework/EfLayerDump.h"

#include <cstdio>

#include "ui/framework/CEfContainerLayer.h"
#include "ui/framework/CEfControl.h"
#include "ui/framework/CEfWindow.h"
#include "ui/framework/CEfWindowLayer.h"
#include "ui/framework/EfClassName.h"

namespace ef {
namespace {

// Texts are 8-bit (Latin-1); everything outside printable ASCII is written as \u00XX.
void AppendString(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void AppendNumber(std::string& out, const char* name, int value) {
    out += '"';
    out += name;
    out += "\":";
    out += std::to_string(value);
}

void AppendLayer(std::string& out, const CEfWindowLayer& layer) {
    const QPoint origin = layer.WindowPosition();
    out += "{\"layer\":";
    AppendString(out, ClassNameOf(layer));
    out += ',';
    AppendNumber(out, "x", origin.x());
    out += ',';
    AppendNumber(out, "y", origin.y());
    out += ',';
    AppendNumber(out, "w", layer.width());
    out += ',';
    AppendNumber(out, "h", layer.height());
    out += ",\"controls\":[";
    bool first = true;
    for (const CEfControl* control : layer.Controls()) {
        if (!first) {
            out += ',';
        }
        first = false;
        out += "{\"key\":";
        AppendString(out, control->Key());
        out += ",\"kind\":";
        AppendString(out, ClassNameOf(*control));
        out += ',';
        AppendNumber(out, "x", origin.x() + control->x());
        out += ',';
        AppendNumber(out, "y", origin.y() + control->y());
        out += ',';
        AppendNumber(out, "w", control->width());
        out += ',';
        AppendNumber(out, "h", control->height());
        out += ',';
        AppendNumber(out, "value", control->Value());
        out += ",\"text\":";
        AppendString(out, control->Text());
        out += ",\"enabled\":";
        out += control->IsControlEnabled() ? "true" : "false";
        out += ",\"visible\":";
        out += control->IsControlVisible() ? "true" : "false";
        out += '}';
    }
    out += "]}\n";
    if (const auto* container = qobject_cast<const CEfContainerLayer*>(&layer)) {
        for (const CEfWindowLayer* child : container->Layers()) {
            AppendLayer(out, *child);
        }
    }
}

} // namespace

std::string DumpLayerJson(const CEfWindowLayer& layer) {
    std::string out;
    AppendLayer(out, layer);
    return out;
}

std::string DumpWindowJson(const CEfWindow& window) {
    std::string out;
    for (const CEfWindowLayer* layer : window.Layers()) {
        AppendLayer(out, *layer);
    }
    return out;
}

} // namespace ef
