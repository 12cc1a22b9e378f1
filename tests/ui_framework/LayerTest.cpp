#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include "RecordingLayer.h"
#include "TestResources.h"
#include "support/RecordingTraceSink.h"
#include "ui/framework/CEfWindow.h"
#include "ui/framework/CTarnOnOffButton.h"
#include "ui/framework/EfLayerDump.h"

namespace {

const CTarnButton::Description kMemories[] = {
    {"BtnMemory1", 10, 10, "ButtonMemory1"},
    {"BtnMemory2", 60, 10, "ButtonMissing"},
    {"BtnMemory3", 110, 10, "ButtonMemory1"},
};

const CTarnStaticText::Description kCaptions[] = {
    {"C.Scale", 10, 60, 80, 0, "TrebuchetMS12P", "Scale"},
    {"C.Key", 10, 80, 80, 0, "NoSuchFont", "Key"},
};

const CEfControlInfo kMemoryInfo[] = {
    {0, -1, 0, 0, false}, {0, -1, 1, 0, false}, {0, -1, 2, 0, false}};

} // namespace

TEST(LayerCreation, MissingPictureOrFontStopsTheArrayAndReportsFailure) {
    TestResources resources;
    RecordingTraceSink trace;
    RecordingLayer layer;
    int counter = 0;
    EXPECT_FALSE(layer.CreateButtons(kMemories, kMemoryInfo, &counter));
    EXPECT_EQ(counter, 1);
    ASSERT_EQ(layer.Controls().size(), 1u);
    EXPECT_EQ(layer.Controls()[0]->Key(), "BtnMemory1");
    EXPECT_EQ(layer.FindControl("BtnMemory3"), nullptr);
    EXPECT_TRUE(trace.Contains("Faild to get bitmap or font info."));

    EXPECT_FALSE(layer.CreateStaticTexts(kCaptions, {}, &counter));
    EXPECT_EQ(counter, 2);
    EXPECT_NE(layer.FindControl("C.Scale"), nullptr);
    EXPECT_EQ(layer.FindControl("C.Key"), nullptr);
    EXPECT_FALSE(layer.SetBackgroundImage("BG_Nothing"));
}

TEST(LayerCreation, ControlsAreFoundByKeyAndCarryTheirInformation) {
    TestResources resources;
    RecordingLayer layer;
    ASSERT_TRUE(layer.CreateButtons(std::span(kMemories).first(1), kMemoryInfo));
    const CTarnButton::Description tabs[] = {{"PageGlobal", 200, 10, "ButtonMemory1"}};
    const CEfControlInfo tabInfo[] = {{-1, -1, 2, 5, true}};
    ASSERT_TRUE(layer.CreateOnOffButtons(tabs, tabInfo));

    CEfControl* tab = layer.FindControl("PageGlobal");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->objectName(), "PageGlobal");
    EXPECT_EQ(tab->accessibleName(), "PageGlobal");
    EXPECT_EQ(tab->Info().index, 2);
    EXPECT_EQ(tab->Info().group, 5);
    EXPECT_TRUE(tab->Info().bound);
    EXPECT_EQ(tab->Listener(), &layer);
    EXPECT_NE(layer.FindControlAs<CTarnOnOffButton>("PageGlobal"), nullptr);
    EXPECT_EQ(layer.FindControlAs<CTarnOnOffButton>("BtnMemory1"), nullptr);
    EXPECT_NE(layer.FindControlAs<CTarnButton>("BtnMemory1"), nullptr);
    EXPECT_EQ(layer.FindControl("BtnMemory9"), nullptr);
    EXPECT_FALSE(layer.SetControlValue("BtnMemory9", 1));
    EXPECT_TRUE(layer.SetControlValue("PageGlobal", 1));
    EXPECT_TRUE(layer.SetControlEnabled("BtnMemory1", false));
    EXPECT_FALSE(layer.FindControl("BtnMemory1")->IsControlEnabled());
    EXPECT_EQ(tab->Value(), 1);
    EXPECT_EQ(tab->KindName(), "CTarnOnOffButton");
}

TEST(LayerVisibility, HideAndShowKeepValuesAndHiddenLayersGetNoTicks) {
    TestResources resources;
    RecordingLayer container;
    auto* page = new RecordingLayer;
    ASSERT_TRUE(page->CreateButtons(std::span(kMemories).first(1)));
    const CTarnStaticText::Description name[] = {
        {"MemoryName1", 10, 60, 200, 0, "TrebuchetMS13P", "[L.000]  Pulse Verb"}};
    ASSERT_TRUE(page->CreateStaticTexts(name));
    container.AddLayer(page, true);
    EXPECT_EQ(page->shown, 1);
    page->SetControlValue("BtnMemory1", 7);
    page->SetControlText("MemoryName1", "[A.040]  Vibraphone");
    page->SetControlVisible("BtnMemory1", false);

    page->HideLayer();
    EXPECT_FALSE(page->IsLayerVisible());
    EXPECT_TRUE(container.VisibleLayers().empty());
    container.DeliverTick(30);
    EXPECT_TRUE(page->ticks.empty());

    page->ShowLayer();
    EXPECT_EQ(page->shown, 2);
    container.DeliverTick(30);
    EXPECT_EQ(page->ticks, std::vector<int>{30});
    EXPECT_EQ(page->FindControl("BtnMemory1")->Value(), 7);
    EXPECT_FALSE(page->FindControl("BtnMemory1")->IsControlVisible());
    EXPECT_EQ(page->FindControl("MemoryName1")->Text(), "[A.040]  Vibraphone");
}

TEST(LayerKeyboard, TabMovesBetweenControlsAndSpacePresses) {
    TestResources resources;
    CEfWindow window;
    window.SetContentSize(QSize(700, 439));
    auto* layer = new RecordingLayer;
    layer->SetLayerRect(QRect(0, 0, 700, 439));
    const CTarnButton::Description buttons[] = {{"BtnA", 10, 10, "ButtonAllOpen"},
                                                {"BtnB", 70, 10, "ButtonAllOpen"}};
    ASSERT_TRUE(layer->CreateButtons(buttons));
    ASSERT_TRUE(layer->CreateStaticTexts(std::span(kCaptions).first(1)));
    window.AddLayer(layer);
    window.show();
    QApplication::setActiveWindow(&window);
    layer->FindControl("BtnA")->setFocus();
    ASSERT_TRUE(layer->FindControl("BtnA")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(layer->FindControl("BtnB")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    auto clicks = layer->EventsOf("clicked");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].key, "BtnB");
    // Captions take no focus.
    EXPECT_EQ(layer->FindControl("C.Scale")->focusPolicy(), Qt::NoFocus);
}

namespace {

// A window that takes files no layer wanted.
class DropWindow : public CEfWindow {
public:
    EfDropEffect OnEfWindowDragOver(const CEfDragInfo& info) override {
        return info.files.empty() ? EfDropEffect::kNone : EfDropEffect::kCopy;
    }
    EfDropEffect OnEfWindowDrop(const CEfDragInfo& info) override {
        dropped = info.files;
        return info.files.empty() ? EfDropEffect::kNone : EfDropEffect::kCopy;
    }
    std::vector<std::string> dropped;
};

Qt::DropAction SendDrop(QWidget* target, QPoint position, QMimeData* data,
                        Qt::KeyboardModifiers modifiers) {
    QDragEnterEvent enter(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          modifiers);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) {
        return Qt::IgnoreAction;
    }
    QDropEvent drop(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

} // namespace

TEST(LayerDragDrop, FormatsFilesAndKeysReachTheControlUnderThePointer) {
    TestResources resources;
    DropWindow window;
    window.SetContentSize(QSize(700, 439));
    auto* layer = new RecordingLayer;
    layer->SetLayerRect(QRect(0, 0, 700, 439));
    const CTarnButton::Description memories[] = {{"BtnMemory1", 10, 10, "ButtonMemory1"},
                                                 {"BtnMemory2", 60, 10, "ButtonMemory1"}};
    ASSERT_TRUE(layer->CreateButtons(memories));
    window.AddLayer(layer);
    layer->acceptKey = "BtnMemory2";
    layer->acceptFormat = "ProgramMemory";

    QMimeData data;
    data.setData("application/x-talvex-test-ProgramMemory", QByteArray(40, '\x07'));
    data.setUrls({QUrl::fromLocalFile("/tmp/a b.wav"), QUrl("http://example.invalid/x.wav")});

    // Over memory 2 with the copy modifier: copy; without: move.
    EXPECT_EQ(SendDrop(layer, QPoint(70, 20), &data, Qt::ControlModifier), Qt::CopyAction);
    ASSERT_NE(layer->lastDragControl, nullptr);
    EXPECT_EQ(layer->lastDragControl->Key(), "BtnMemory2");
    EXPECT_EQ(layer->lastDrag.formats, std::vector<std::string>{"ProgramMemory"});
    EXPECT_EQ(layer->lastDrag.files, std::vector<std::string>{"/tmp/a b.wav"});
    EXPECT_TRUE(layer->lastDrag.CopyModifier());
    EXPECT_EQ(layer->lastDrag.position, QPoint(10, 10));
    EXPECT_EQ(layer->EventsOf("drop").size(), 1u);
    EXPECT_EQ(SendDrop(layer, QPoint(70, 20), &data, Qt::NoModifier), Qt::MoveAction);

    // Over memory 1 the page refuses; the window takes the file.
    EXPECT_EQ(SendDrop(layer, QPoint(20, 20), &data, Qt::NoModifier), Qt::CopyAction);
    EXPECT_EQ(window.dropped, std::vector<std::string>{"/tmp/a b.wav"});

    // Data without the format and without files is refused everywhere.
    QMimeData other;
    other.setText("hello");
    window.dropped.clear();
    EXPECT_EQ(SendDrop(layer, QPoint(70, 20), &other, Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_TRUE(layer->lastDrag.formats.empty());
    EXPECT_TRUE(window.dropped.empty());
}

TEST(LayerDump, OneJsonObjectPerLayerWithControlsInWindowCoordinates) {
    TestResources resources;
    CEfWindow window;
    window.SetContentSize(QSize(700, 526));
    auto* toolbar = new RecordingLayer;
    toolbar->SetLayerRect(QRect(0, 0, 700, 87));
    ASSERT_TRUE(toolbar->CreateButtons(std::span(kMemories).first(1)));
    auto* container = new RecordingLayer;
    container->SetLayerRect(QRect(0, 87, 700, 439));
    auto* page = new RecordingLayer;
    page->SetLayerRect(QRect(0, 81, 700, 358));
    const CTarnStaticText::Description texts[] = {
        {"C.Quote", 5, 6, 100, 0, "TrebuchetMS12P", "say \"hi\"\\"}};
    ASSERT_TRUE(page->CreateStaticTexts(texts));
    container->AddLayer(page, false);
    window.AddLayer(toolbar);
    window.AddLayer(container);

    const QList<QByteArray> lines =
        QByteArray::fromStdString(ef::DumpWindowJson(window)).split('\n');
    ASSERT_EQ(lines.size(), 4); // three lines and the empty rest after the last "\n"
    EXPECT_TRUE(lines[3].isEmpty());
    std::vector<QJsonObject> objects;
    for (int i = 0; i < 3; ++i) {
        QJsonParseError error;
        QJsonDocument document = QJsonDocument::fromJson(lines[i], &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[i].toStdString();
        objects.push_back(document.object());
    }
    EXPECT_EQ(objects[0]["layer"].toString(), "RecordingLayer");
    EXPECT_EQ(objects[0]["h"].toInt(), 87);
    const QJsonObject button = objects[0]["controls"].toArray()[0].toObject();
    EXPECT_EQ(button["key"].toString(), "BtnMemory1");
    EXPECT_EQ(button["kind"].toString(), "CTarnButton");
    EXPECT_EQ(button["x"].toInt(), 10);
    EXPECT_EQ(button["w"].toInt(), 40);
    EXPECT_EQ(button["h"].toInt(), 40);
    EXPECT_EQ(button["value"].toInt(), 0);
    EXPECT_EQ(button["text"].toString(), "");
    EXPECT_TRUE(button["enabled"].toBool());
    EXPECT_TRUE(button["visible"].toBool());

    EXPECT_EQ(objects[1]["y"].toInt(), 87);
    EXPECT_TRUE(objects[1]["controls"].toArray().isEmpty());
    // The hidden page is listed, at its window position.
    EXPECT_EQ(objects[2]["y"].toInt(), 87 + 81);
    const QJsonObject text = objects[2]["controls"].toArray()[0].toObject();
    EXPECT_EQ(text["kind"].toString(), "CTarnStaticText");
    EXPECT_EQ(text["y"].toInt(), 87 + 81 + 6);
    EXPECT_EQ(text["text"].toString(), "say \"hi\"\\");
    const QList<QString> keys = objects[2].keys();
    EXPECT_EQ(keys, (QList<QString>{"controls", "h", "layer", "w", "x", "y"}));
    EXPECT_EQ(text.keys(), (QList<QString>{"enabled", "h", "key", "kind", "text", "value",
                                           "visible", "w", "x", "y"}));
}

TEST(LayerDragDrop, MovingAPressedDragSourceAsksThePageForData) {
    TestResources resources;
    RecordingLayer layer;
    ASSERT_TRUE(layer.CreateButtons(std::span(kMemories).first(1)));
    CEfControl* memory = layer.FindControl("BtnMemory1");
    QTest::mousePress(memory, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(memory, QPoint(30, 5));
    EXPECT_TRUE(layer.EventsOf("beginDrag").empty()); // not a drag source yet
    QTest::mouseRelease(memory, Qt::LeftButton, {}, QPoint(30, 5));

    memory->SetDragSource(true);
    QTest::mousePress(memory, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(memory, QPoint(6, 5));
    EXPECT_TRUE(layer.EventsOf("beginDrag").empty()); // within the start distance
    QTest::mouseMove(memory, QPoint(30, 5));
    EXPECT_EQ(layer.EventsOf("beginDrag").size(), 1u);
    QTest::mouseMove(memory, QPoint(35, 5));
    EXPECT_EQ(layer.EventsOf("beginDrag").size(), 1u); // once per press
    QTest::mouseRelease(memory, Qt::LeftButton, {}, QPoint(30, 5));
}

TEST(LayerWindow, SwitchingHoldsTheContentsRepaint) {
    CEfWindow window;
    auto* layer = new CTarnLayerBase;
    window.AddLayer(layer);
    layer->SetSwitching(true);
    EXPECT_TRUE(window.IsSwitching());
    EXPECT_FALSE(window.ContentArea()->updatesEnabled());
    layer->SetSwitching(false);
    EXPECT_TRUE(window.ContentArea()->updatesEnabled());
    EXPECT_EQ(layer->Window(), &window);
}

TEST(StaticText, SteppableTextReportsStepsFromWheelAndKeys) {
    TestResources resources;
    RecordingLayer layer;
    const CTarnStaticText::Description names[] = {
        {"MemoryName1", 10, 10, 200, 0, "TrebuchetMS13P", "[L.000]  Pulse Verb", EfTextAlign::kLeft,
         CTarnStaticText::kInteractive | CTarnStaticText::kSteppable}};
    ASSERT_TRUE(layer.CreateStaticTexts(names));
    CEfControl* name = layer.FindControl("MemoryName1");
    EXPECT_EQ(name->height(), 13);
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(name, Qt::Key_Up);
    QTest::keyClick(name, Qt::Key_Down);
    QWheelEvent wheel(QPointF(5, 5), name->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(name, &wheel);
    EXPECT_EQ(layer.EventsOf("clicked").size(), 1u);
    auto changed = layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 3u);
    EXPECT_EQ(changed[0].value, 2);
    EXPECT_EQ(changed[1].value, 0);
    EXPECT_EQ(changed[2].value, 2);
}
