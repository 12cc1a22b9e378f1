#include "PageFixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "data/CTarnAllData.h"
#include "data/CTarnProgramMemoryData.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CVirtualMidiDriver.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/main/CTarnMainContainer.h"

void PageFixture::SetUp() {
    instrument = std::make_unique<CTarnVirtualInstrumentSession>();
    std::string error;
    ASSERT_TRUE(instrument->Open("", error)) << error;
    CHfcMidiSystem::SetDriver(&instrument->Driver());

    host = std::make_unique<CTarnHost>();
    CTarnHostServices services;
    services.preferencesStore = &store;
    services.midiDriver = &instrument->Driver();
    ASSERT_TRUE(host->Initialize(std::move(services)));
    CEfResourceResolver::SetDefault(&resolver);
    window = new CTarnMainWindow(*host);
    window->show();
    ASSERT_TRUE(host->SetPage(CTarnProgramMemoryLayer::kPageNumber));
    ProcessEvents();
    page = qobject_cast<CTarnProgramMemoryLayer*>(
        window->Container()->Page(CTarnProgramMemoryLayer::kPageNumber));
    ASSERT_NE(page, nullptr);
}

void PageFixture::TearDown() {
    delete window;
    window = nullptr;
    CEfResourceResolver::SetDefault(nullptr);
    host.reset();
    CHfcMidiSystem::SetDriver(nullptr);
    if (instrument) {
        std::string error;
        instrument->Close(error);
    }
}

void PageFixture::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

CTarnProgramMemoryData& PageFixture::Memory(int index) const {
    return *host->GetAllData()->ProgramMemory(index);
}

Image PageFixture::ImageOf(int index) const {
    Image image{};
    const uint8_t* native = Memory(index).GetNativeData();
    std::copy(native, native + image.size(), image.begin());
    return image;
}

std::array<Image, 8> PageFixture::Images() const {
    std::array<Image, 8> images{};
    for (int i = 0; i < 8; ++i) {
        images[static_cast<size_t>(i)] = ImageOf(i);
    }
    return images;
}

CEfControl* PageFixture::Control(const std::string& key) const {
    CEfControl* control = page->FindControl(key);
    EXPECT_NE(control, nullptr) << key;
    return control;
}

std::string PageFixture::NameShown(int memory) const {
    CEfControl* name = Control("MemoryName" + std::to_string(memory + 1));
    return name ? name->Text() : std::string();
}

void PageFixture::AnswerMenuWith(int program) {
    page->SetProgramMenu(std::make_unique<ScriptedProgramMenu>(program, &menuTold));
}

QByteArray PageFixture::Block(int memory) const {
    std::array<uint8_t, 40> block{};
    EXPECT_TRUE(Memory(memory).GetBlockData(block.data(), 40, memory));
    return QByteArray(reinterpret_cast<const char*>(block.data()), 40);
}

std::string PageFixture::MimeType() {
    return resolver.GetMimeType("ProgramMemory");
}

EfDropEffect PageFixture::Drop(int target, const QByteArray& block, const CEfControl* source,
                               bool copyModifier) {
    QMimeData data;
    data.setData(QString::fromStdString(MimeType()), block);
    const CEfDragInfo info = CEfDragInfo::From(
        &data, copyModifier ? Qt::ControlModifier : Qt::NoModifier, source, &resolver);
    CEfControl* control = Control("BtnMemory" + std::to_string(target + 1));
    if (page->OnEfControlDragOver(control, info) == EfDropEffect::kNone) {
        return EfDropEffect::kNone;
    }
    return page->OnEfControlDrop(control, info);
}

std::vector<std::string> PageFixture::AlertTexts() const {
    std::vector<std::string> texts;
    for (const auto& alert : alerts.alerts) {
        texts.push_back(alert.text);
    }
    return texts;
}

void ClickOn(CEfControl* control) {
    const QPointF inside(control->width() / 2.0, control->height() / 2.0);
    const QPointF global = control->mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, inside, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(control, &release);
}

void PressKey(CEfControl* control, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &event);
}
