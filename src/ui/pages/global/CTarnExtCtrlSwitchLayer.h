#pragma once

#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"

// The switch rows (banks, memories, Gate Arp, Pad Touch): enable, assign type, channel, note or
// control change, off and on values and the button behaviour. The assign type shows "Note" or
// "CC" from the message kind, or the real-time message (Start, Continue, Stop), which hides the
// twelve detail controls and captions.
class CTarnExtCtrlSwitchLayer : public CTarnExtCtrlParamLayerBase {
    Q_OBJECT

public:
    // Assign-type values: 0 Note, 1 CC, 2 Start, 3 Continue, 4 Stop.
    static constexpr int kAssignNote = 0;
    static constexpr int kAssignCc = 1;
    static constexpr int kAssignStart = 2;

    explicit CTarnExtCtrlSwitchLayer(CTarnHost& host, QWidget* parent = nullptr);

    // The assign type of a record's real-time message and message kind, and back.
    static int AssignTypeOf(int realtime, int messageKind);
    // The real-time message and message kind after choosing `type` on a record of `messageKind`.
    static void ApplyAssignType(int type, int messageKind, int* realtime, int* newMessageKind);

    void Refresh(bool force) override;
    void OnEfControlChanged(CEfControl* control, int value) override;
};
