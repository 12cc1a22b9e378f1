#include "ui/framework/CTarnLayerBase.h"

#include "framework/CEfImage.h"
#include "framework/EfTrace.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/framework/CEfWindow.h"
#include "ui/framework/CTarnControlValueParameter.h"
#include "ui/framework/CTarnOnOffButton.h"

CTarnLayerBase::CTarnLayerBase(QWidget* parent) : CEfContainerLayer(parent) {}

CTarnLayerBase::~CTarnLayerBase() = default;

bool CTarnLayerBase::SetBackgroundImage(const std::string& name) {
    const CEfImage* picture = Picture(name.c_str());
    if (picture == nullptr) {
        return false;
    }
    SetBackground(picture);
    if (width() <= 0 || height() <= 0 || minimumSize() != maximumSize()) {
        setFixedSize(picture->LayoutWidth(), picture->LayoutHeight());
    }
    return true;
}

const CEfImage* CTarnLayerBase::Picture(const char* name) const {
    CEfResourceResolver* resolver = Resolver();
    if (name == nullptr || resolver == nullptr) {
        return nullptr;
    }
    return resolver->GetImage(name);
}

const CEfFontInfo* CTarnLayerBase::Font(const char* name) const {
    CEfResourceResolver* resolver = Resolver();
    if (name == nullptr || resolver == nullptr) {
        return nullptr;
    }
    return resolver->GetFontInfo(name);
}

std::vector<std::string> CTarnLayerBase::ListTexts(const std::string& keyword) const {
    std::vector<std::string> texts;
    CEfResourceResolver* resolver = Resolver();
    if (resolver == nullptr || keyword.empty()) {
        return texts;
    }
    const int count = resolver->GetStringCount(keyword);
    texts.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const std::string* text = resolver->GetString(keyword, i);
        texts.push_back(text != nullptr ? *text : std::string());
    }
    return texts;
}

void CTarnLayerBase::SetSwitching(bool switching) {
    if (Window() != nullptr) {
        Window()->SetSwitching(switching);
    }
}

template <class Description, class Make>
bool CTarnLayerBase::CreateAll(std::span<const Description> descriptions,
                               std::span<const CEfControlInfo> infos, int* counter, Make make) {
    for (size_t i = 0; i < descriptions.size(); ++i) {
        const CEfControlInfo info = i < infos.size() ? infos[i] : CEfControlInfo{};
        CEfControl* control = make(descriptions[i], info);
        if (control == nullptr) {
            EfTrace("Faild to get bitmap or font info.");
            return false;
        }
        AddControl(control);
        if (counter != nullptr) {
            ++*counter;
        }
    }
    return true;
}

bool CTarnLayerBase::CreateButtons(std::span<const CTarnButton::Description> descriptions,
                                   std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnButton::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfImage* image = Picture(d.image);
            return image != nullptr ? new CTarnButton(d, *image, info) : nullptr;
        });
}

bool CTarnLayerBase::CreateOnOffButtons(std::span<const CTarnButton::Description> descriptions,
                                        std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnButton::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfImage* image = Picture(d.image);
            return image != nullptr ? new CTarnOnOffButton(d, *image, info) : nullptr;
        });
}

bool CTarnLayerBase::CreateTextButtons(std::span<const CTarnTextButton::Description> descriptions,
                                       std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnTextButton::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfImage* image = Picture(d.image);
            const CEfFontInfo* font = Font(d.font);
            if (image == nullptr || font == nullptr) {
                return nullptr;
            }
            return new CTarnTextButton(d, *image, *font, info);
        });
}

bool CTarnLayerBase::CreateStaticTexts(std::span<const CTarnStaticText::Description> descriptions,
                                       std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnStaticText::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfFontInfo* font = Font(d.font);
            return font != nullptr ? new CTarnStaticText(d, *font, info) : nullptr;
        });
}

bool CTarnLayerBase::CreateEditTexts(std::span<const CTarnEditText::Description> descriptions,
                                     std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnEditText::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfFontInfo* font = Font(d.font);
            return font != nullptr ? new CTarnEditText(d, *font, info) : nullptr;
        });
}

bool CTarnLayerBase::CreateValueParameters(
    std::span<const CEfControlValueParameter::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CEfControlValueParameter::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfFontInfo* font = Font(d.font);
                         const CEfImage* up = Picture(d.upImage);
                         const CEfImage* down = Picture(d.downImage);
                         if (font == nullptr || up == nullptr || down == nullptr) {
                             return nullptr;
                         }
                         return new CTarnControlValueParameter(d, *font, *up, *down, info);
                     });
}

bool CTarnLayerBase::CreatePopupParameters(
    std::span<const CTarnPopupParameter::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CTarnPopupParameter::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfFontInfo* font = Font(d.font);
                         const CEfImage* button =
                             d.buttonImage != nullptr ? Picture(d.buttonImage) : nullptr;
                         if (font == nullptr || (d.buttonImage != nullptr && button == nullptr)) {
                             return nullptr;
                         }
                         const std::string menuList = d.menuList != nullptr ? d.menuList : "";
                         const std::string displayList =
                             d.displayList != nullptr ? d.displayList : menuList;
                         return new CTarnPopupParameter(d, *font, button, ListTexts(menuList),
                                                        ListTexts(displayList), info);
                     });
}

bool CTarnLayerBase::CreatePopupTexts(std::span<const CTarnPopupText::Description> descriptions,
                                      std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnPopupText::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfFontInfo* font = Font(d.font);
            const CEfImage* button = d.buttonImage != nullptr ? Picture(d.buttonImage) : nullptr;
            if (font == nullptr || (d.buttonImage != nullptr && button == nullptr)) {
                return nullptr;
            }
            return new CTarnPopupText(d, *font, button, ListTexts(d.list != nullptr ? d.list : ""),
                                      info);
        });
}

bool CTarnLayerBase::CreateCheckBoxes(std::span<const CTarnCheckBox::Description> descriptions,
                                      std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(
        descriptions, infos, counter,
        [this](const CTarnCheckBox::Description& d, const CEfControlInfo& info) -> CEfControl* {
            const CEfImage* image = Picture(d.image);
            const CEfFontInfo* font = Font(d.font);
            if (image == nullptr || font == nullptr) {
                return nullptr;
            }
            return new CTarnCheckBox(d, *image, *font, info);
        });
}

bool CTarnLayerBase::CreateWaveGraphs(
    std::span<const CTarnControlWaveGraph::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CTarnControlWaveGraph::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfImage* image = d.image != nullptr ? Picture(d.image) : nullptr;
                         if (d.image != nullptr && image == nullptr) {
                             return nullptr;
                         }
                         return new CTarnControlWaveGraph(d, image, info);
                     });
}

bool CTarnLayerBase::CreatePopupStaticTexts(
    std::span<const CTarnPopupStaticText::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CTarnPopupStaticText::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfFontInfo* font = Font(d.font);
                         if (font == nullptr) {
                             return nullptr;
                         }
                         return new CTarnPopupStaticText(
                             d, *font, ListTexts(d.list != nullptr ? d.list : ""), info);
                     });
}

bool CTarnLayerBase::CreateBitmapLists(
    std::span<const CEfControlBitmapList::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CEfControlBitmapList::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfImage* image = Picture(d.image);
                         return image != nullptr ? new CEfControlBitmapList(d, *image, info)
                                                 : nullptr;
                     });
}

bool CTarnLayerBase::CreateVuMeters(
    std::span<const CEfControlHorizontalVuMeter::Description> descriptions,
    std::span<const CEfControlInfo> infos, int* counter) {
    return CreateAll(descriptions, infos, counter,
                     [this](const CEfControlHorizontalVuMeter::Description& d,
                            const CEfControlInfo& info) -> CEfControl* {
                         const CEfImage* image = d.image != nullptr ? Picture(d.image) : nullptr;
                         if (d.image != nullptr && image == nullptr) {
                             return nullptr;
                         }
                         return new CEfControlHorizontalVuMeter(d, image, info);
                     });
}
