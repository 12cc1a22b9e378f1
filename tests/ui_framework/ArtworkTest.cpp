#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "RecordingLayer.h"
#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnFontManager.h"
#include "app/CTarnResourceManager.h"
#include "app/CTarnStringTable.h"
#include "data/CTarnSampleData.h"
#include "ui/app/CTarnManagerResolver.h"

namespace {

// The editor's own pictures, fonts and lists, acquired as the host does.
class EditorResources {
public:
    explicit EditorResources(int scale) {
        CTarnResourceManager::SetPreferredScale(scale);
        ok_ = CTarnResourceManager::Acquire() != nullptr &&
              CTarnFontManager::Acquire() != nullptr &&
              CTarnClipboardTypeManager::Acquire() != nullptr &&
              CTarnStringTable::Acquire() != nullptr;
        CEfResourceResolver::SetDefault(&resolver_);
    }
    ~EditorResources() {
        CEfResourceResolver::SetDefault(nullptr);
        CTarnStringTable::Release();
        CTarnClipboardTypeManager::Release();
        CTarnFontManager::Release();
        CTarnResourceManager::Release();
        CTarnResourceManager::SetPreferredScale(1);
    }
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
    CTarnManagerResolver resolver_;
};

// Every kind on the editor's artwork, with the names the pages use.
void Populate(RecordingLayer& layer, CTarnSampleData& bank) {
    layer.SetLayerRect(QRect(0, 0, 700, 439));
    EXPECT_TRUE(layer.SetBackgroundImage("BG_SampleLibrarian"));
    const CTarnButton::Description buttons[] = {{"BtnWaveImport", 20, 20, "ButtonSampleImport"},
                                                {"BtnTempoInc", 20, 90, "ButtonUpSmall"}};
    const CTarnButton::Description onOff[] = {{"BtnSampleBankA", 120, 20, "ButtonBankSelectA"},
                                              {"BtnMemory3", 200, 20, "ButtonMemory3"}};
    const CTarnTextButton::Description textButtons[] = {
        {"A.BankA", 280, 20, "ButtonCcNumber", "TrebuchetMS12P", "#036"}};
    const CTarnStaticText::Description texts[] = {
        {"C.SampleTempo", 20, 130, 120, 0, "TrebuchetMS12P", "Original BPM"},
        {"MemoryName1", 20, 150, 220, 0, "TrebuchetMS13P", "[L.000]  Pulse Verb"},
        {"Digits", 20, 170, 120, 0, "TrebuchetMS12w7", "120.0 0123456789"}};
    const CTarnEditText::Description edits[] = {
        {"P.ScrText", 250, 130, 120, 0, "TrebuchetMS12P", 10}};
    const CEfControlValueParameter::Description values[] = {
        {"PhraseLevel", 250, 160, 70, 0, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", 0,
         127, 0},
        {"P.Transpose", 330, 160, 70, 0, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", -12,
         12, 0}};
    const CTarnPopupParameter::Description popups[] = {
        {"Scale1", 420, 130, 130, "TrebuchetMS12P", "ButtonNo", "AllScaleList", "ScaleList"},
        {"PhraseLength", 420, 160, 130, "TrebuchetMS12P", "ButtonDownSmall", "PhraseLength",
         "PhraseLength"}};
    const CTarnCheckBox::Description boxes[] = {
        {"P.FltSysEx", 570, 130, "ButtonCheckBox", "TrebuchetMS12P", "System Ex"}};
    const CTarnControlWaveGraph::Description graphs[] = {
        {"WaveGraph", 20, 200, 400, 120, "WaveGraphImage"}};
    const CTarnPopupStaticText::Description staticPopups[] = {
        {"P.Static", 570, 160, 100, "TrebuchetMS12P", "MidiCh"}};
    const CEfControlBitmapList::Description lists[] = {
        {"B.PadPattern", 440, 200, "BitmapListPadPattern", 8}};
    const CEfControlHorizontalVuMeter::Description meters[] = {
        {"VuMeterL", 20, 340, 0, 0, "VuMeterHorizontal", -48.0, 0.0},
        {"VuMeterR", 20, 360, 0, 0, "VuMeterHorizontal", -48.0, 0.0}};
    EXPECT_TRUE(layer.CreateButtons(buttons));
    EXPECT_TRUE(layer.CreateOnOffButtons(onOff));
    EXPECT_TRUE(layer.CreateTextButtons(textButtons));
    EXPECT_TRUE(layer.CreateStaticTexts(texts));
    EXPECT_TRUE(layer.CreateEditTexts(edits));
    EXPECT_TRUE(layer.CreateValueParameters(values));
    EXPECT_TRUE(layer.CreatePopupParameters(popups));
    EXPECT_TRUE(layer.CreateCheckBoxes(boxes));
    EXPECT_TRUE(layer.CreateWaveGraphs(graphs));
    EXPECT_TRUE(layer.CreatePopupStaticTexts(staticPopups));
    EXPECT_TRUE(layer.CreateBitmapLists(lists));
    EXPECT_TRUE(layer.CreateVuMeters(meters));
    bank.Initialize();
    for (int frame = 0; frame < 48000; ++frame) {
        const double t = frame / 48000.0;
        const double envelope = 1.0 - t;
        bank.SetSample(frame, 0, static_cast<int>(30000 * envelope * std::sin(t * 2200.0)));
        bank.SetSample(frame, 1, static_cast<int>(20000 * envelope * std::sin(t * 3100.0)));
    }
    bank.SetTempo(120.0);
    bank.SetPhraseLength(5);
    bank.SetLoadedFrames(48000);
    layer.FindControlAs<CTarnControlWaveGraph>("WaveGraph")->SetSample(&bank);
    layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL")->SetLevel(-9.0);
    layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterR")->SetLevel(-20.0);
    layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterR")->SetPeak(-4.0);
    layer.SetControlValue("BtnSampleBankA", 1);
    layer.SetControlValue("Scale1", 9);
    layer.SetControlValue("PhraseLength", 4);
    layer.SetControlValue("PhraseLevel", 127);
    layer.SetControlValue("P.Transpose", 3);
    layer.SetControlValue("P.FltSysEx", 1);
    layer.SetControlValue("P.Static", 16);
    layer.SetControlValue("B.PadPattern", 2);
    layer.SetControlText("P.ScrText", "HELLO");
    layer.SetControlEnabled("BtnTempoInc", false);
}

} // namespace

TEST(Artwork, EveryKindIsCreatedFromTheEditorsOwnPicturesAndFonts) {
    for (int scale : {1, 2}) {
        EditorResources resources(scale);
        if (!resources.Ok()) {
            GTEST_SKIP() << "the editor's resources are not available";
        }
        RecordingLayer layer;
        CTarnSampleData bank;
        Populate(layer, bank);
        EXPECT_EQ(layer.Controls().size(), 19u);
        EXPECT_EQ(layer.FindControl("Scale1")->Maximum(), 35);
        EXPECT_EQ(layer.FindControl("P.Static")->Text(), "Global");
        EXPECT_EQ(layer.FindControl("BtnMemory3")->size(), QSize(40, 40));

        QImage image(QSize(700, 439) * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::black);
        layer.render(&image);
        // Kept beside the test program for a look at what the controls draw.
        image.save(QDir::current().filePath(QString("ui_framework_controls@%1x.png").arg(scale)));
    }
}
