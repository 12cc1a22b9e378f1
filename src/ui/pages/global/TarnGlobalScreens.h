#pragma once

#include <QString>

class CTarnHost;
class QWidget;

namespace tarn {

// Renders the Global page's tabs and parameter layers to PNG files for talvex-screenshots:
// "global-global", "global-ccmap" and "global-extctrl-switch", "-slider", "-xypad", "-padnote"
// (each with a controller row of that kind selected). Shows page 2 and leaves the host on tab 1
// with its previous controller row. False when a file could not be written.
bool SaveGlobalStates(CTarnHost& host, QWidget& window, const QString& folder,
                      const QString& suffix);

} // namespace tarn
