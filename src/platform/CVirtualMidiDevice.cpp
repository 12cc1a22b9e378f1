#include "platform/CVirtualMidiDevice.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CVirtualMidiPeer.h"

namespace {

// One direction of the device: a thread that moves queued byte pieces to their receiver in
// segments, paced at the byte rate, and reports each finished piece.
class CLane {
public:
    using Deliver = std::function<void(const uint8_t*, size_t)>;
    using Finished = std::function<void(size_t)>;

    CLane(size_t segmentSize, size_t bytesPerSecond, Deliver deliver, Finished finished)
        : segmentSize_(std::max<size_t>(segmentSize, 1)), bytesPerSecond_(bytesPerSecond),
          deliver_(std::move(deliver)), finished_(std::move(finished)), thread_([this] { Run(); }) {
    }

    ~CLane() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            jobs_.clear();
        }
        changed_.notify_all();
        thread_.join();
    }

    CLane(const CLane&) = delete;
    CLane& operator=(const CLane&) = delete;

    bool Push(std::vector<uint8_t> bytes, bool report) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) {
                return false;
            }
            jobs_.push_back({std::move(bytes), report});
        }
        changed_.notify_all();
        return true;
    }

    // Drops the pieces not yet started, reporting each as finished, and waits for the one in
    // progress.
    void DropQueued() {
        std::deque<Job> dropped;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            dropped.swap(jobs_);
        }
        for (const Job& job : dropped) {
            if (job.report) {
                finished_(job.bytes.size());
            }
        }
        WaitIdle();
    }

    // Drops the pieces not yet started without reporting them: they never went anywhere.
    void Discard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.clear();
        }
        changed_.notify_all();
    }

    void WaitIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || (jobs_.empty() && !busy_); });
    }

    bool IsIdle() {
        std::lock_guard<std::mutex> lock(mutex_);
        return jobs_.empty() && !busy_;
    }

private:
    struct Job {
        std::vector<uint8_t> bytes;
        bool report;
    };

    void Run() {
        using Clock = std::chrono::steady_clock;
        Clock::time_point due = Clock::now();
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
            if (stop_) {
                return;
            }
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            for (size_t pos = 0; pos < job.bytes.size() && !stop_;) {
                size_t count = std::min(segmentSize_, job.bytes.size() - pos);
                if (bytesPerSecond_ > 0) {
                    // The segment is handed over once its last byte would have arrived.
                    due = std::max(due, Clock::now()) +
                          std::chrono::microseconds(count * 1000000 / bytesPerSecond_);
                    if (changed_.wait_until(lock, due, [this] { return stop_; })) {
                        break;
                    }
                }
                lock.unlock();
                deliver_(job.bytes.data() + pos, count);
                lock.lock();
                pos += count;
            }
            if (job.report && !stop_) {
                lock.unlock();
                finished_(job.bytes.size());
                lock.lock();
            }
            busy_ = false;
            changed_.notify_all();
        }
    }

    const size_t segmentSize_;
    const size_t bytesPerSecond_;
    Deliver deliver_;
    Finished finished_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace

class CVirtualMidiDevice::CImpl {
public:
    CImpl(CVirtualMidiDevice& owner, CVirtualMidiDeviceOptions options, CVirtualMidiPeer* peer)
        : owner_(owner), options_(std::move(options)), peer_(peer),
          toPeer_(
              options_.segmentSize, options_.bytesPerSecond,
              [this](const uint8_t* b, size_t n) { DeliverToPeer(b, n); },
              [this](size_t n) { ReportSent(n); }),
          toEditor_(options_.segmentSize, options_.bytesPerSecond,
                    [this](const uint8_t* b, size_t n) { DeliverToEditor(b, n); }, {}) {}

    void DeliverToPeer(const uint8_t* bytes, size_t length) {
        std::lock_guard<std::mutex> lock(peerMutex_);
        for (size_t i = 0; i < length; ++i) {
            // Real-time bytes leave a SysEx message open; any other status byte ends it.
            if (bytes[i] >= 0x80 && bytes[i] < 0xf8) {
                sysExOpen_ = bytes[i] == 0xf0;
            }
        }
        if (peer_) {
            peer_->OnVirtualMidiReceived(owner_, bytes, length);
        }
    }

    // After a close dropped pieces: a SysEx message cut short is ended on the wire.
    void EndOpenSysEx() {
        static const uint8_t kEox = 0xf7;
        bool open;
        {
            std::lock_guard<std::mutex> lock(peerMutex_);
            open = sysExOpen_;
        }
        if (open) {
            DeliverToPeer(&kEox, 1);
        }
    }

    // The device is gone: open ports are told, nothing more moves.
    void Unplug() {
        {
            std::lock_guard<std::mutex> lock(peerMutex_);
            peer_ = nullptr;
        }
        {
            std::lock_guard<std::mutex> lock(outputMutex_);
            if (alive_ && outputSink_) {
                outputSink_->OnHfcMidiOutputLost();
            }
            alive_ = false;
        }
        toPeer_.Discard();
        toEditor_.Discard();
        std::lock_guard<std::mutex> lock(inputMutex_);
        if (inputSink_ && !inputLost_) {
            inputSink_->OnHfcMidiInputLost();
        }
        inputLost_ = true;
    }

    void DeliverToEditor(const uint8_t* bytes, size_t length) {
        std::lock_guard<std::mutex> lock(inputMutex_);
        if (inputSink_ && !inputLost_) {
            inputSink_->OnHfcMidiInputData(bytes, length);
        }
    }

    void ReportSent(size_t length) {
        std::lock_guard<std::mutex> lock(outputMutex_);
        if (outputSink_ && alive_) {
            outputSink_->OnHfcMidiOutputDone(length);
        }
    }

    CVirtualMidiDevice& owner_;
    const CVirtualMidiDeviceOptions options_;

    std::mutex peerMutex_;
    CVirtualMidiPeer* peer_;
    // Whether the bytes delivered to the peer so far leave a SysEx message open.
    bool sysExOpen_ = false;
    std::mutex inputMutex_;
    CHfcMidiInputSink* inputSink_ = nullptr;
    bool inputLost_ = false;
    std::mutex outputMutex_;
    CHfcMidiOutputSink* outputSink_ = nullptr;
    // Set while the device object exists; ports that outlive it stop sending.
    bool alive_ = true;

    // Declared last: their threads use the members above.
    CLane toPeer_;
    CLane toEditor_;
};

namespace {

class CVirtualInputPort : public CHfcMidiInputPort {
public:
    explicit CVirtualInputPort(std::function<void()> close) : close_(std::move(close)) {}
    ~CVirtualInputPort() override { close_(); }

private:
    std::function<void()> close_;
};

class CVirtualOutputPort : public CHfcMidiOutputPort {
public:
    CVirtualOutputPort(std::function<bool(const uint8_t*, size_t)> send,
                       std::function<void()> close)
        : send_(std::move(send)), close_(std::move(close)) {}
    ~CVirtualOutputPort() override { close_(); }
    bool Send(const uint8_t* bytes, size_t length) override { return send_(bytes, length); }

private:
    std::function<bool(const uint8_t*, size_t)> send_;
    std::function<void()> close_;
};

} // namespace

CVirtualMidiDevice::CVirtualMidiDevice(CVirtualMidiDeviceOptions options, CVirtualMidiPeer* peer)
    : impl_(std::make_shared<CImpl>(*this, std::move(options), peer)) {}

CVirtualMidiDevice::~CVirtualMidiDevice() {
    // Ports still open keep the implementation and its threads alive until they close.
    impl_->Unplug();
}

void CVirtualMidiDevice::Unplug() {
    impl_->Unplug();
}

void CVirtualMidiDevice::SimulateOverrun() {
    std::lock_guard<std::mutex> lock(impl_->inputMutex_);
    if (impl_->inputSink_) {
        impl_->inputSink_->OnHfcMidiInputOverrun();
    }
}

const CVirtualMidiDeviceOptions& CVirtualMidiDevice::Options() const {
    return impl_->options_;
}

void CVirtualMidiDevice::SetPeer(CVirtualMidiPeer* peer) {
    std::lock_guard<std::mutex> lock(impl_->peerMutex_);
    impl_->peer_ = peer;
}

void CVirtualMidiDevice::SendToEditor(std::span<const uint8_t> bytes) {
    if (!bytes.empty()) {
        impl_->toEditor_.Push(std::vector<uint8_t>(bytes.begin(), bytes.end()), false);
    }
}

bool CVirtualMidiDevice::IsInputOpen() const {
    std::lock_guard<std::mutex> lock(impl_->inputMutex_);
    return impl_->inputSink_ != nullptr;
}

bool CVirtualMidiDevice::IsOutputOpen() const {
    std::lock_guard<std::mutex> lock(impl_->outputMutex_);
    return impl_->outputSink_ != nullptr;
}

void CVirtualMidiDevice::WaitIdle() {
    do {
        impl_->toPeer_.WaitIdle();
        impl_->toEditor_.WaitIdle();
    } while (!impl_->toPeer_.IsIdle());
}

std::unique_ptr<CHfcMidiInputPort> CVirtualMidiDevice::OpenInput(CHfcMidiInputSink& sink,
                                                                 std::string& error) {
    std::lock_guard<std::mutex> lock(impl_->inputMutex_);
    if (!impl_->options_.hasInput) {
        error = "device has no input";
        return nullptr;
    }
    if (impl_->inputSink_) {
        error = "input already in use";
        return nullptr;
    }
    if (impl_->inputLost_) {
        error = "device is gone";
        return nullptr;
    }
    impl_->inputSink_ = &sink;
    std::shared_ptr<CImpl> impl = impl_;
    return std::make_unique<CVirtualInputPort>([impl] {
        std::lock_guard<std::mutex> closeLock(impl->inputMutex_);
        impl->inputSink_ = nullptr;
    });
}

std::unique_ptr<CHfcMidiOutputPort> CVirtualMidiDevice::OpenOutput(CHfcMidiOutputSink& sink,
                                                                   std::string& error) {
    std::lock_guard<std::mutex> lock(impl_->outputMutex_);
    if (!impl_->options_.hasOutput) {
        error = "device has no output";
        return nullptr;
    }
    if (impl_->outputSink_) {
        error = "output already in use";
        return nullptr;
    }
    if (!impl_->alive_) {
        error = "device is gone";
        return nullptr;
    }
    impl_->outputSink_ = &sink;
    std::shared_ptr<CImpl> impl = impl_;
    auto send = [impl](const uint8_t* bytes, size_t length) {
        {
            std::lock_guard<std::mutex> sendLock(impl->outputMutex_);
            if (!impl->alive_) {
                return false;
            }
        }
        return impl->toPeer_.Push(std::vector<uint8_t>(bytes, bytes + length), true);
    };
    auto close = [impl] {
        impl->toPeer_.DropQueued();
        impl->EndOpenSysEx();
        std::lock_guard<std::mutex> closeLock(impl->outputMutex_);
        impl->outputSink_ = nullptr;
    };
    return std::make_unique<CVirtualOutputPort>(send, close);
}
