#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "RecordingLayer.h"
#include "TestResources.h"
#include "data/CTarnSampleData.h"
#include "ui/framework/CTarnOnOffButton.h"
#include "ui/framework/EfPicturePainter.h"

namespace {

// One control of every kind on one layer.
struct AllKinds {
    explicit AllKinds(int scale) : resources(scale) {
        layer.SetLayerRect(QRect(0, 0, 700, 439));
        EXPECT_TRUE(layer.SetBackgroundImage("BG_Test"));
        const CTarnButton::Description buttons[] = {{"BtnOpen", 0, 0, "ButtonAllOpen"}};
        const CTarnButton::Description tabs[] = {{"BtnMemory1", 100, 0, "ButtonMemory1"}};
        const CTarnTextButton::Description textButtons[] = {
            {"BtnText", 200, 0, "ButtonAllOpen", "TrebuchetMS12P", "Go"}};
        const CTarnStaticText::Description texts[] = {
            {"C.Caption", 300, 0, 100, 0, "TrebuchetMS12P", "Caption", EfTextAlign::kRight}};
        const CTarnEditText::Description edits[] = {
            {"P.ScrText", 400, 0, 100, 0, "TrebuchetMS12P", 10}};
        const CEfControlValueParameter::Description values[] = {{"P.Level", 500, 0, 60, 20,
                                                                 "TrebuchetMS12P", "ButtonUpSmall",
                                                                 "ButtonDownSmall", -12, 12, 0}};
        const CTarnPopupParameter::Description popups[] = {
            {"Scale1", 0, 100, 120, "TrebuchetMS12P", "ButtonNo", "AllScaleList", "ScaleList"}};
        const CTarnPopupText::Description popupTexts[] = {
            {"P.Text", 150, 100, 120, "TrebuchetMS12P", nullptr, "ScaleList"}};
        const CTarnCheckBox::Description boxes[] = {
            {"P.Box", 300, 100, "ButtonCheckBox", "TrebuchetMS12P", "Note"}};
        const CTarnControlWaveGraph::Description graphs[] = {
            {"WaveGraph", 0, 200, 400, 80, "WaveGraphImage"}};
        const CTarnPopupStaticText::Description staticPopups[] = {
            {"P.Static", 450, 100, 100, "TrebuchetMS12P", "ScaleList"}};
        const CEfControlBitmapList::Description lists[] = {
            {"B.PadPattern", 450, 200, "BitmapListPadPattern", 8}};
        const CEfControlHorizontalVuMeter::Description meters[] = {
            {"VuMeterL", 450, 300, 100, 6, "VuMeterHorizontal", -48.0, 0.0}};
        EXPECT_TRUE(layer.CreateButtons(buttons));
        EXPECT_TRUE(layer.CreateOnOffButtons(tabs));
        EXPECT_TRUE(layer.CreateTextButtons(textButtons));
        EXPECT_TRUE(layer.CreateStaticTexts(texts));
        EXPECT_TRUE(layer.CreateEditTexts(edits));
        EXPECT_TRUE(layer.CreateValueParameters(values));
        EXPECT_TRUE(layer.CreatePopupParameters(popups));
        EXPECT_TRUE(layer.CreatePopupTexts(popupTexts));
        EXPECT_TRUE(layer.CreateCheckBoxes(boxes));
        EXPECT_TRUE(layer.CreateWaveGraphs(graphs));
        EXPECT_TRUE(layer.CreatePopupStaticTexts(staticPopups));
        EXPECT_TRUE(layer.CreateBitmapLists(lists));
        EXPECT_TRUE(layer.CreateVuMeters(meters));
        bank.Initialize();
        for (int frame = 0; frame < 48000; ++frame) {
            bank.SetSample(frame, 0, (frame % 200) * 300 - 30000);
            bank.SetSample(frame, 1, 12000);
        }
        bank.SetLoadedFrames(48000);
        layer.FindControlAs<CTarnControlWaveGraph>("WaveGraph")->SetSample(&bank);
        layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL")->SetLevel(-12.0);
        layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL")->SetPeak(-6.0);
        layer.SetControlValue("BtnMemory1", 1);
        layer.SetControlValue("Scale1", 2);
        layer.SetControlText("P.ScrText", "HELLO");
    }

    QImage Render(qreal ratio) {
        QImage image(QSize(700, 439) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        layer.render(&image);
        return image;
    }

    TestResources resources;
    RecordingLayer layer;
    CTarnSampleData bank;
};

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

} // namespace

TEST(Paint, EveryKindPaintsAtOneAndTwoTimes) {
    for (int scale : {1, 2}) {
        for (qreal ratio : {1.0, 2.0}) {
            AllKinds kinds(scale);
            const QImage image = kinds.Render(ratio);
            ASSERT_FALSE(image.isNull());
            const int r = static_cast<int>(ratio);
            // Button in its normal state, the on/off button on.
            EXPECT_EQ(At(image, 10 * r, 5 * r), TestResources::kStateColors[0]);
            EXPECT_EQ(At(image, 110 * r, 20 * r), TestResources::kStateColors[1]);
            // The meter's lit row up to the bar (75 of 100), the unlit row after it.
            EXPECT_EQ(At(image, (450 + 10) * r, 302 * r), TestResources::kStateColors[1]);
            EXPECT_EQ(At(image, (450 + 90) * r, 302 * r), TestResources::kStateColors[0]);
        }
    }
}

TEST(Paint, DisabledControlsShowTheThirdState) {
    AllKinds kinds(1);
    kinds.layer.SetControlEnabled("BtnOpen", false);
    const QImage image = kinds.Render(1.0);
    EXPECT_EQ(At(image, 10, 5), TestResources::kStateColors[2]);
}

TEST(Paint, TwoTimesPicturesStayCrispOnTwoTimesScreens) {
    AllKinds kinds(2);
    const QImage image = kinds.Render(2.0);
    // The 2x button carries a one-device-pixel checker in its top-left corner; it must come
    // through pixel for pixel.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const QRgb expected = ((x + y) % 2) == 1 ? 0xff000000u : TestResources::kStateColors[0];
            EXPECT_EQ(At(image, x, y), expected) << x << "," << y;
        }
    }
}

TEST(Paint, TextIsDrawnFromTheFontCellsInTheTint) {
    AllKinds kinds(1);
    const QImage image = kinds.Render(1.0);
    // "Caption" right-aligned in 100 pixels: 7 glyphs of 5 end at x 400; each glyph is a
    // 4-wide block from row 2 to row 9 of the 12-pixel cell, centred in a 12-pixel box.
    const QRgb ink = At(image, 400 - 5 + 1, 5);
    EXPECT_GT(qRed(ink), 0xc0);
    EXPECT_EQ(At(image, 400 - 1, 5), At(image, 300, 5)); // the gap after the last glyph
}

TEST(Paint, OpaquePicturesAreDrawnFromTheirOwnBuffer) {
    TestResources resources(2);
    const CEfImage* background = resources.GetImage("BG_Test");
    const QImage& image = ef::PictureImage(*background);
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(image.constBits()), background->pixels.data());

    // A picture with transparency is converted (premultiplied) instead.
    CEfImage glass;
    glass.width = 2;
    glass.height = 1;
    glass.pixels = {0x80ff0000u, 0xff00ff00u};
    const QImage& converted = ef::PictureImage(glass);
    EXPECT_NE(reinterpret_cast<const uint32_t*>(converted.constBits()), glass.pixels.data());
    EXPECT_EQ(qUnpremultiply(converted.pixel(0, 0)), 0x80ff0000u);
    ef::ForgetPicture(&glass);
}
