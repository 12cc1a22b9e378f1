#pragma once

#include <string>

class CEfWindow;
class CEfWindowLayer;

// JSON Lines description of layers for scripted checks: one object per layer,
// {"layer", "x", "y", "w", "h" (window coordinates), "controls": [{"key", "kind", "x", "y", "w",
// "h", "value", "text", "enabled", "visible"}]}, the layer first, then its child layers in
// order, each line ending in "\n".
namespace ef {

std::string DumpLayerJson(const CEfWindowLayer& layer);
// Every layer of the window, in order, hidden ones included.
std::string DumpWindowJson(const CEfWindow& window);

} // namespace ef
