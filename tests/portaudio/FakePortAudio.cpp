#include "FakePortAudio.h"

#include <atomic>
#include <mutex>

namespace fake_pa {
namespace {

std::mutex mutex;
Setup setup;
PaStreamParameters opened{-1, 0, 0, 0, nullptr};
std::atomic<int> writes{0};
int streamToken;

PaDeviceInfo alsaDevice{2, "default", 0, 0, 2, 0.01, 0.01, kLowLatency, kHighLatency, 48000};
PaDeviceInfo jackDevice{2, "system", 1, 0, 2, 0.01, 0.01, kLowLatency, kHighLatency, 48000};
PaHostApiInfo alsaApi{1, paALSA, "ALSA", 1, 0, 0};
PaHostApiInfo jackApi{1, paJACK, "JACK Audio Connection Kit", 1, 1, 1};

} // namespace

void Reset(const Setup& s) {
    std::lock_guard<std::mutex> lock(mutex);
    setup = s;
    opened = {-1, 0, 0, 0, nullptr};
    writes = 0;
}

PaStreamParameters LastOpened() {
    std::lock_guard<std::mutex> lock(mutex);
    return opened;
}

int Writes() {
    return writes.load();
}

} // namespace fake_pa

using namespace fake_pa;

extern "C" {

PaError Pa_Initialize(void) {
    return paNoError;
}

PaError Pa_Terminate(void) {
    return paNoError;
}

const char* Pa_GetErrorText(PaError) {
    return "fake PortAudio error";
}

PaDeviceIndex Pa_GetDefaultOutputDevice(void) {
    std::lock_guard<std::mutex> lock(mutex);
    return setup.alsaDefault ? 0 : paNoDevice;
}

const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device) {
    std::lock_guard<std::mutex> lock(mutex);
    if (device == 0 && setup.alsaDefault) {
        return &alsaDevice;
    }
    if (device == 1 && setup.jackRunning) {
        return &jackDevice;
    }
    return nullptr;
}

PaHostApiIndex Pa_HostApiTypeIdToHostApiIndex(PaHostApiTypeId type) {
    std::lock_guard<std::mutex> lock(mutex);
    if (type == paALSA) {
        return 0;
    }
    return type == paJACK && setup.jackRunning ? 1 : paHostApiNotFound;
}

const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex api) {
    return api == 0 ? &alsaApi : api == 1 ? &jackApi : nullptr;
}

PaError Pa_IsFormatSupported(const PaStreamParameters*, const PaStreamParameters* output, double) {
    return output && Pa_GetDeviceInfo(output->device) ? paFormatIsSupported : paInvalidDevice;
}

PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters*,
                      const PaStreamParameters* output, double, unsigned long, PaStreamFlags,
                      PaStreamCallback*, void*) {
    if (!output || !Pa_GetDeviceInfo(output->device)) {
        return paInvalidDevice;
    }
    std::lock_guard<std::mutex> lock(mutex);
    opened = *output;
    *stream = &streamToken;
    return paNoError;
}

PaError Pa_StartStream(PaStream*) {
    return paNoError;
}

PaError Pa_AbortStream(PaStream*) {
    return paNoError;
}

PaError Pa_CloseStream(PaStream*) {
    return paNoError;
}

PaError Pa_WriteStream(PaStream*, const void*, unsigned long) {
    const int n = ++writes;
    std::lock_guard<std::mutex> lock(mutex);
    if (setup.failFromWrite > 0 && n >= setup.failFromWrite) {
        return setup.failure;
    }
    return n % 3 == 0 ? paOutputUnderflowed : paNoError; // underflows are harmless
}

} // extern "C"
