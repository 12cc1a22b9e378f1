#pragma once

#include <span>
#include <string>

#include "ui/framework/CEfContainerLayer.h"
#include "ui/framework/CEfControlBitmapList.h"
#include "ui/framework/CEfControlHorizontalVuMeter.h"
#include "ui/framework/CEfControlValueParameter.h"
#include "ui/framework/CTarnButton.h"
#include "ui/framework/CTarnCheckBox.h"
#include "ui/framework/CTarnControlWaveGraph.h"
#include "ui/framework/CTarnEditText.h"
#include "ui/framework/CTarnPopupParameter.h"
#include "ui/framework/CTarnPopupStaticText.h"
#include "ui/framework/CTarnStaticText.h"
#include "ui/framework/CTarnTextButton.h"

// Base of every page layer: a container layer with a background picture named by the page and
// one creation operation per control kind. Each creation operation takes the page's array of
// description records and the parallel array of information records (empty: default records),
// creates the controls in order, adds them to the layer (which becomes their listener) and
// counts them in `counter` when given. A description naming a picture or font the resolver does
// not have ends the array there (trace "Faild to get bitmap or font info.") and the operation
// returns false; the controls created before it stay.
class CTarnLayerBase : public CEfContainerLayer {
    Q_OBJECT

public:
    explicit CTarnLayerBase(QWidget* parent = nullptr);
    ~CTarnLayerBase() override;

    // Sets the background picture (and the layer's size when it has none yet); false when the
    // name is unknown.
    bool SetBackgroundImage(const std::string& name);

    bool CreateButtons(std::span<const CTarnButton::Description> descriptions,
                       std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateOnOffButtons(std::span<const CTarnButton::Description> descriptions,
                            std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateTextButtons(std::span<const CTarnTextButton::Description> descriptions,
                           std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateStaticTexts(std::span<const CTarnStaticText::Description> descriptions,
                           std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateEditTexts(std::span<const CTarnEditText::Description> descriptions,
                         std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    // Creates CTarnControlValueParameter controls (the editor's repeat timing).
    bool CreateValueParameters(std::span<const CEfControlValueParameter::Description> descriptions,
                               std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreatePopupParameters(std::span<const CTarnPopupParameter::Description> descriptions,
                               std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreatePopupTexts(std::span<const CTarnPopupText::Description> descriptions,
                          std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateCheckBoxes(std::span<const CTarnCheckBox::Description> descriptions,
                          std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateWaveGraphs(std::span<const CTarnControlWaveGraph::Description> descriptions,
                          std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreatePopupStaticTexts(std::span<const CTarnPopupStaticText::Description> descriptions,
                                std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateBitmapLists(std::span<const CEfControlBitmapList::Description> descriptions,
                           std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);
    bool CreateVuMeters(std::span<const CEfControlHorizontalVuMeter::Description> descriptions,
                        std::span<const CEfControlInfo> infos = {}, int* counter = nullptr);

    // Marks the window as switching (no repaint) while pages are exchanged.
    void SetSwitching(bool switching);

    // The texts of a string-table list, in order (empty when absent).
    std::vector<std::string> ListTexts(const std::string& keyword) const;

private:
    template <class Description, class Make>
    bool CreateAll(std::span<const Description> descriptions, std::span<const CEfControlInfo> infos,
                   int* counter, Make make);
    const CEfImage* Picture(const char* name) const;
    const CEfFontInfo* Font(const char* name) const;
};
