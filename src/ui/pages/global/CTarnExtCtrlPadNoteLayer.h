#pragma once

#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"

// The "Pad Note" row: enable, MIDI channel, the left note of each note range and the note off
// and on velocities (parameters 42 to 52). The other controls are enabled only while the pads
// send notes.
class CTarnExtCtrlPadNoteLayer : public CTarnExtCtrlParamLayerBase {
    Q_OBJECT

public:
    explicit CTarnExtCtrlPadNoteLayer(CTarnHost& host, QWidget* parent = nullptr);

protected:
    bool IsActive(const CEfControlInfo& info) const override;
};
