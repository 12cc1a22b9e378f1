#include "audio/CEfAudioEngine.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

CEfAudioEngine::CEfAudioEngine(std::unique_ptr<CHfcAudioOutput> output)
    : output_(std::move(output)) {
    SetName("CEfAudioEngine");
}

CEfAudioEngine::~CEfAudioEngine() {
    Teardown();
}

bool CEfAudioEngine::Setup(const HfcAudioFormat& format, int32_t bufferBytesWanted) {
    Teardown();
    format_ = format;
    bufferBytesWanted_ = bufferBytesWanted;
    const char* failure = nullptr;
    if (!output_) {
        failure = "No audio output.";
    } else if (!output_->IsFormatSupported(format_)) {
        failure = "Not support wave format.";
    }
    if (failure == nullptr) {
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            messageHead_ = 0;
            messageCount_ = 0;
            failurePending_ = false;
        }
        try {
            // Normal priority: the output's writer thread, which waits on the device, is the one
            // that asks for real-time scheduling; rendering a buffer ahead is not urgent.
            thread_ = std::thread(&CEfAudioEngine::ThreadMain, this);
        } catch (const std::system_error&) {
            failure = "Faild to create thread.";
        }
    }
    if (failure != nullptr) {
        EfTrace("CEfAudioEngine::Win32SetupAudioEngine() - %s", failure);
        return false;
    }
    setUp_ = true;
    return true;
}

bool CEfAudioEngine::Start() {
    if (!setUp_) {
        EfTrace("Win32Start: %s", "Not set up.");
        return false;
    }
    startWanted_ = true;
    return RunOnRenderThread([this] { return StartStream(); });
}

void CEfAudioEngine::Stop() {
    startWanted_ = false;
    RunOnRenderThread([this] {
        StopStream();
        return true;
    });
}

void CEfAudioEngine::Teardown() {
    if (!thread_.joinable()) {
        startWanted_ = false;
        StopStream();
        setUp_ = false;
        return;
    }
    Stop();
    Message quit;
    quit.quit = true;
    Post(quit);
    thread_.join();
    setUp_ = false;
}

void CEfAudioEngine::SetFormat(const HfcAudioFormat& format) {
    RunOnRenderThread([this, &format] {
        format_ = format;
        return true;
    });
}

int32_t CEfAudioEngine::GetFramesPerBuffer() const {
    if (format_.bytesPerFrame <= 0 || bufferBytesWanted_ <= 0) {
        return 0;
    }
    return std::min(bufferBytesWanted_ / format_.bytesPerFrame, kMaxFramesPerBuffer);
}

bool CEfAudioEngine::Render(int32_t, uint8_t*) {
    return false;
}

void CEfAudioEngine::WriteSample(uint8_t* destination, int32_t frame, int32_t channel,
                                 int32_t value) {
    if (frame < 0 || channel < 0 || channel >= format_.channels) {
        return;
    }
    const int bytesPerSample = format_.bitsPerSample / 8;
    uint8_t* p = destination +
                 static_cast<size_t>(frame) * static_cast<size_t>(format_.bytesPerFrame) +
                 static_cast<size_t>(channel * bytesPerSample);
    switch (bytesPerSample) {
    case 1:
        *p = static_cast<uint8_t>(value + 128);
        break;
    case 2:
        ef::WriteLE16(p, static_cast<uint16_t>(value));
        break;
    case 3:
        ef::WriteLE24(p, static_cast<uint32_t>(value));
        break;
    case 4:
        ef::WriteLE32(p, static_cast<uint32_t>(value));
        break;
    default:
        break;
    }
}

void CEfAudioEngine::OnHfcAudioBufferDone(int bufferId) {
    Message message;
    message.bufferId = bufferId;
    Post(message);
}

void CEfAudioEngine::OnHfcAudioOutputFailed() {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        failurePending_ = true;
    }
    queueChanged_.notify_one();
}

void CEfAudioEngine::CloseFailedOutput() {
    // A report that raced with Stop (or with a Stop and Start before this thread saw it) belongs
    // to a stream that is already closed.
    if (!streaming_ || !output_ || !output_->IsOpen()) {
        return;
    }
    EfTrace("Win32ContinuePlayWave: %s", "Audio device failed; closed until the next start.");
    StopStream();
    OnAudioOutputLost();
}

bool CEfAudioEngine::Post(const Message& message) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (messageCount_ == messages_.size()) {
            EfTrace("CEfAudioEngine - message queue full");
            return false;
        }
        messages_[(messageHead_ + messageCount_) % messages_.size()] = message;
        ++messageCount_;
    }
    queueChanged_.notify_one();
    return true;
}

bool CEfAudioEngine::RunOnRenderThread(const std::function<bool()>& work) {
    if (!thread_.joinable() || std::this_thread::get_id() == thread_.get_id()) {
        return work();
    }
    Task task{&work};
    Message message;
    message.task = &task;
    if (!Post(message)) {
        return false;
    }
    std::unique_lock<std::mutex> lock(queueMutex_);
    taskDone_.wait(lock, [&task] { return task.done; });
    return task.result;
}

void CEfAudioEngine::ThreadMain() {
    std::unique_lock<std::mutex> lock(queueMutex_);
    while (true) {
        queueChanged_.wait(lock, [this] { return messageCount_ > 0 || failurePending_; });
        // A failure goes before waiting messages: refills of a failed stream are pointless, and
        // a later Start must not open a stream the old report would then close.
        if (failurePending_) {
            failurePending_ = false;
            lock.unlock();
            CloseFailedOutput();
            lock.lock();
            continue;
        }
        const Message message = messages_[messageHead_];
        messageHead_ = (messageHead_ + 1) % messages_.size();
        --messageCount_;
        if (message.quit) {
            return;
        }
        lock.unlock();
        if (message.task != nullptr) {
            const bool result = (*message.task->work)();
            lock.lock();
            message.task->result = result;
            message.task->done = true;
            taskDone_.notify_all();
            continue;
        }
        ContinuePlayWave(message.bufferId);
        lock.lock();
    }
}

bool CEfAudioEngine::StartStream() {
    if (streaming_) {
        return true;
    }
    const char* failure = nullptr;
    framesPerBuffer_ = GetFramesPerBuffer();
    bytesPerBuffer_ = framesPerBuffer_ * format_.bytesPerFrame;
    if (framesPerBuffer_ <= 0) {
        failure = "Invalid buffer size.";
    } else if (!AllocateBuffers()) {
        failure = "Failed to allocate buffers.";
    } else {
        inFlight_.fill(false);
        if (!output_->Open(format_, *this)) {
            failure = "Failed to open wave audio device.";
        }
    }
    if (failure == nullptr) {
        streaming_ = true;
        queued_ = 0;
        for (int id = 0; id < kBufferCount && failure == nullptr; ++id) {
            if (!FillAndWrite(id)) {
                failure = "Failed to write buffer.";
            }
        }
        if (failure != nullptr) {
            StopStream();
        }
    }
    if (failure != nullptr) {
        EfTrace("Win32Start: %s", failure);
        streaming_ = false;
        return false;
    }
    return true;
}

bool CEfAudioEngine::AllocateBuffers() {
    try {
        for (std::vector<uint8_t>& buffer : buffers_) {
            buffer.assign(static_cast<size_t>(bytesPerBuffer_), 0);
        }
    } catch (const std::bad_alloc&) {
        for (std::vector<uint8_t>& buffer : buffers_) {
            std::vector<uint8_t>().swap(buffer);
        }
        return false;
    }
    return true;
}

void CEfAudioEngine::StopStream() {
    streaming_ = false;
    if (output_ && output_->IsOpen()) {
        output_->Reset();
        output_->Close();
    }
    inFlight_.fill(false);
    queued_ = 0;
    for (std::vector<uint8_t>& buffer : buffers_) {
        std::vector<uint8_t>().swap(buffer);
    }
}

void CEfAudioEngine::ContinuePlayWave(int bufferId) {
    if (!streaming_) {
        EfTrace("\t* Stopped...");
        return;
    }
    if (queued_ <= 0) {
        EfTrace("\t* There is no buffer.");
        return;
    }
    if (bufferId < 0 || bufferId >= kBufferCount || !inFlight_[static_cast<size_t>(bufferId)]) {
        EfTrace("\t* not Done");
        return;
    }
    inFlight_[static_cast<size_t>(bufferId)] = false;
    --queued_;
    if (!FillAndWrite(bufferId)) {
        EfTrace("Win32ContinuePlayWave: %s", "Failed to write wave data.");
    }
}

bool CEfAudioEngine::FillAndWrite(int bufferId) {
    std::vector<uint8_t>& buffer = buffers_[static_cast<size_t>(bufferId)];
    if (!Render(framesPerBuffer_, buffer.data())) {
        EfTrace("Failed to rendering data.");
        std::fill(buffer.begin(), buffer.end(), uint8_t{0});
    }
    if (!output_->Write(bufferId, buffer.data(), buffer.size())) {
        return false;
    }
    inFlight_[static_cast<size_t>(bufferId)] = true;
    ++queued_;
    return true;
}
