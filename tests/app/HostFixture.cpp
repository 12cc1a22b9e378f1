#include "HostFixture.h"

#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfMessageManagerApp.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CVirtualMidiDriver.h"

void RecordingMessageWindow::PostBroadcastNotice(uint32_t sequence) {
    // Delivered at once: the tests run without an event loop.
    if (auto message = manager_.FetchBroadcast(sequence)) {
        types.push_back(message->type);
    }
}

void HostFixture::SetUp() {
    instrument = std::make_unique<CTarnVirtualInstrumentSession>();
    std::string error;
    ASSERT_TRUE(instrument->Open("", error)) << error;
    CHfcMidiSystem::SetDriver(&instrument->Driver());

    host = std::make_unique<CTarnHost>();
    CTarnHostServices services;
    services.preferencesStore = &store;
    services.midiDriver = &instrument->Driver();
    services.acquireResources = false;
    ASSERT_TRUE(host->Initialize(std::move(services)));
    host->SetWindow(&window);
    messages = std::make_unique<RecordingMessageWindow>(*host->GetMessageManager());
    host->GetMessageManager()->RegisterWindow(messages.get());
}

void HostFixture::TearDown() {
    if (host && host->GetMessageManager()) {
        host->GetMessageManager()->UnregisterWindow(messages.get());
    }
    host.reset();
    CHfcMidiSystem::SetDriver(nullptr);
    if (instrument) {
        std::string error;
        instrument->Close(error);
    }
}

std::string HostFixture::WriteAllDataFile(const std::string& name) {
    const std::string path = dir.File(name);
    CTarnAllDataIO io;
    EXPECT_EQ(io.SavePath(*host->GetAllData(), path), CEfFileIO::kSucceeded);
    return path;
}

std::string HostFixture::WriteGlobalFile(const std::string& name) {
    const std::string path = dir.File(name);
    CTarnGlobalDataIO io;
    EXPECT_EQ(io.SavePath(host->GetAllData()->Global(), path), CEfFileIO::kSucceeded);
    return path;
}

std::string HostFixture::WriteProgramFile(const std::string& name) {
    const std::string path = dir.File(name);
    CTarnProgramMemoryDataIO io;
    EXPECT_EQ(io.SavePath(host->GetAllData()->Programs(), path), CEfFileIO::kSucceeded);
    return path;
}

std::string HostFixture::WriteWaveFile(const std::string& name) {
    // 0.1 s of a 48 kHz stereo 16-bit ramp.
    const uint32_t frames = 4800;
    const uint32_t dataBytes = frames * 4;
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    auto put16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(t[i]));
        }
    };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(48000);
    put32(48000 * 4);
    put16(4);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (uint32_t f = 0; f < frames; ++f) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>((f % 200) * 100 - 10000));
        put16(v);
        put16(v);
    }
    const std::string path = dir.File(name);
    TempDir::WriteAll(path, bytes);
    return path;
}

std::vector<std::string> HostFixture::AlertTexts() const {
    std::vector<std::string> texts;
    for (const auto& alert : alerts.alerts) {
        texts.push_back(alert.text);
    }
    return texts;
}
