#include "ui/pages/global/TarnGlobalScreens.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "app/CTarnHost.h"
#include "framework/CEfMessage.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"

namespace tarn {

bool SaveGlobalStates(CTarnHost& host, QWidget& window, const QString& folder,
                      const QString& suffix) {
    struct State {
        const char* name;
        int tab;
        // Controller row to select, -1 to keep the current one.
        int row;
    };
    const State states[] = {
        {"global-global", 0, -1},        {"global-ccmap", 2, -1},
        {"global-extctrl-switch", 1, 0}, {"global-extctrl-slider", 1, 14},
        {"global-extctrl-xypad", 1, 16}, {"global-extctrl-padnote", 1, 17},
    };
    const int row = host.GetSelectedExtController();
    host.SetPage(2);
    bool ok = true;
    for (const State& state : states) {
        host.SetGlobalTab(state.tab);
        if (state.row >= 0) {
            host.SelectExtController(state.row);
            host.SetExtCtrlLayerKind(CTarnGlobalExtCtrlLayer::LayerKindOfRow(state.row));
            // The controller list marks the selected row on message 5.
            host.PostMessage(kMsgRefreshExtCtrl);
        }
        QApplication::processEvents();
        const QString file = folder + "/" + state.name + suffix;
        ok = window.grab().save(file) && ok;
        std::printf("%s\n", file.toLocal8Bit().constData());
    }
    host.SelectExtController(row);
    host.SetExtCtrlLayerKind(CTarnGlobalExtCtrlLayer::LayerKindOfRow(row));
    host.SetGlobalTab(1);
    host.PostMessage(kMsgRefreshExtCtrl);
    QApplication::processEvents();
    return ok;
}

} // namespace tarn
