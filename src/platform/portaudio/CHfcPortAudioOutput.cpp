#include "platform/portaudio/CHfcPortAudioOutput.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <portaudio.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include "framework/EfTrace.h"
#include "platform/CHfcAudioOutputListener.h"

namespace {

bool SampleFormatFor(int bits, PaSampleFormat& format) {
    switch (bits) {
    case 8:
        format = paUInt8;
        return true;
    case 16:
        format = paInt16;
        return true;
    case 24:
        format = paInt24;
        return true;
    case 32:
        format = paInt32;
        return true;
    default:
        return false;
    }
}

// The device to play on: the default output, or, when there is none (the default ALSA device is
// missing or taken), JACK's default output when a JACK server runs.
PaDeviceIndex OutputDevice() {
    PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device != paNoDevice) {
        return device;
    }
    const PaHostApiIndex jack = Pa_HostApiTypeIdToHostApiIndex(paJACK);
    const PaHostApiInfo* api = jack >= 0 ? Pa_GetHostApiInfo(jack) : nullptr;
    if (api != nullptr && api->defaultOutputDevice != paNoDevice) {
        EfTrace("CHfcPortAudioOutput - no default output device, playing through JACK");
        return api->defaultOutputDevice;
    }
    return paNoDevice;
}

// Output parameters for a device; false when there is no device or the format has no
// PortAudio equivalent.
bool OutputParameters(PaDeviceIndex device, const HfcAudioFormat& format,
                      PaStreamParameters& parameters) {
    parameters = {};
    parameters.device = device;
    if (parameters.device == paNoDevice) {
        EfTrace("CHfcPortAudioOutput - no default output device");
        return false;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(parameters.device);
    if (info == nullptr || !format.IsValid() ||
        !SampleFormatFor(format.bitsPerSample, parameters.sampleFormat)) {
        return false;
    }
    parameters.channelCount = format.channels;
    // A preview is no instrument: robustness against a busy desktop matters more than latency.
    parameters.suggestedLatency = info->defaultHighOutputLatency;
    return true;
}

// The writer feeds the device; it asks for real-time scheduling at a moderate priority, above
// ordinary programs but below the sound server and the kernel's audio threads.
void RaiseWriterPriority() {
    constexpr int kWriterPriority = 20;
    sched_param parameters{};
    parameters.sched_priority = std::min(sched_get_priority_min(SCHED_FIFO) + kWriterPriority,
                                         sched_get_priority_max(SCHED_FIFO));
    const int error = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters);
    if (error != 0) {
        EfTrace("CHfcPortAudioOutput - writer keeps normal priority (%d)", error);
    }
}

// The host APIs probed by PortAudio (ALSA, JACK) report every absent card and server on stderr;
// the program reports a missing device itself, so their chatter is kept off the terminal.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

} // namespace

CHfcPortAudioOutput::CHfcPortAudioOutput() {
    PaError error;
    {
        QuietStderr quiet;
        error = Pa_Initialize();
    }
    initialized_ = error == paNoError;
    if (!initialized_) {
        EfTrace("CHfcPortAudioOutput - %s", Pa_GetErrorText(error));
    }
}

CHfcPortAudioOutput::~CHfcPortAudioOutput() {
    Close();
    if (initialized_) {
        Pa_Terminate();
    }
}

bool CHfcPortAudioOutput::IsFormatSupported(const HfcAudioFormat& format) {
    PaStreamParameters parameters;
    if (!initialized_ || !OutputParameters(OutputDevice(), format, parameters)) {
        return false;
    }
    return Pa_IsFormatSupported(nullptr, &parameters, format.samplingRate) == paFormatIsSupported;
}

bool CHfcPortAudioOutput::Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) {
    PaStreamParameters parameters;
    if (!initialized_ || IsOpen() || !OutputParameters(OutputDevice(), format, parameters)) {
        return false;
    }
    PaStream* stream = nullptr;
    PaError error = Pa_OpenStream(&stream, nullptr, &parameters, format.samplingRate,
                                  paFramesPerBufferUnspecified, paNoFlag, nullptr, nullptr);
    if (error == paNoError) {
        error = Pa_StartStream(stream);
        if (error != paNoError) {
            Pa_CloseStream(stream);
        }
    }
    if (error != paNoError) {
        EfTrace("CHfcPortAudioOutput::Open() - %s", Pa_GetErrorText(error));
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stream_ = stream;
        format_ = format;
        listener_ = &listener;
        queueCount_ = 0;
        stopping_ = false;
        failed_ = false;
        open_ = true;
    }
    thread_ = std::thread(&CHfcPortAudioOutput::Run, this);
    return true;
}

bool CHfcPortAudioOutput::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

bool CHfcPortAudioOutput::Write(int bufferId, const uint8_t* data, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || failed_ || data == nullptr || queueCount_ == kMaxQueued) {
        return false;
    }
    queue_[(queueHead_ + queueCount_) % kMaxQueued] = {bufferId, data, bytes};
    ++queueCount_;
    wake_.notify_all();
    return true;
}

void CHfcPortAudioOutput::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    queueCount_ = 0;
}

void CHfcPortAudioOutput::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_) {
            return;
        }
        stopping_ = true;
        queueCount_ = 0;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    PaStream* stream = static_cast<PaStream*>(stream_);
    Pa_AbortStream(stream);
    const PaError error = Pa_CloseStream(stream);
    if (error != paNoError) {
        EfTrace("CHfcPortAudioOutput::Close() - %s", Pa_GetErrorText(error));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    stream_ = nullptr;
    listener_ = nullptr;
    open_ = false;
}

void CHfcPortAudioOutput::Run() {
    using Clock = std::chrono::steady_clock;
    // A device that takes data faster than it plays it (a null sink) would otherwise make the
    // writer and the rendering thread spin; writing is held to at most this far ahead.
    constexpr std::chrono::milliseconds kMaxAhead{250};
    RaiseWriterPriority();
    const Clock::time_point started = Clock::now();
    double secondsWritten = 0.0;
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || queueCount_ > 0; });
        if (stopping_) {
            return;
        }
        const Queued buffer = queue_[queueHead_];
        queueHead_ = (queueHead_ + 1) % kMaxQueued;
        --queueCount_;
        // The copy frees the writer's buffer before the blocking write, so Reset never waits for
        // the device.
        playing_.assign(buffer.data, buffer.data + buffer.bytes);
        PaStream* stream = static_cast<PaStream*>(stream_);
        CHfcAudioOutputListener* listener = listener_;
        const unsigned long frames =
            static_cast<unsigned long>(buffer.bytes / static_cast<size_t>(format_.bytesPerFrame));
        lock.unlock();
        const PaError error = Pa_WriteStream(stream, playing_.data(), frames);
        if (error != paNoError && error != paOutputUnderflowed) {
            // The device is gone or broken: writing on would "play" into nothing for ever.
            EfTrace("CHfcPortAudioOutput - %s", Pa_GetErrorText(error));
            lock.lock();
            failed_ = true;
            queueCount_ = 0;
            lock.unlock();
            listener->OnHfcAudioOutputFailed();
            return;
        }
        secondsWritten += static_cast<double>(frames) / format_.samplingRate;
        const auto ahead = started +
                           std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(secondsWritten)) -
                           Clock::now();
        if (ahead > kMaxAhead) {
            std::this_thread::sleep_for(ahead - kMaxAhead);
        }
        listener->OnHfcAudioBufferDone(buffer.id);
        lock.lock();
    }
}
