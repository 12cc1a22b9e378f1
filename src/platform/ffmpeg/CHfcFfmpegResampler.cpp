#include "platform/ffmpeg/CHfcFfmpegResampler.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "framework/EfTrace.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kOutputRate = 48000;
// Input fed to the resampler per call, so its own buffers stay small.
constexpr size_t kBlockFrames = 65536;

struct ResamplerFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
using Resampler = std::unique_ptr<SwrContext, ResamplerFreer>;

// A mono float-to-float context at the quality the editor needs, or null.
Resampler Make(int sourceRate, CHfcFfmpegResampler::Engine engine) {
    SwrContext* raw = nullptr;
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    if (swr_alloc_set_opts2(&raw, &mono, AV_SAMPLE_FMT_FLTP, kOutputRate, &mono, AV_SAMPLE_FMT_FLTP,
                            sourceRate, 0, nullptr) < 0) {
        return nullptr;
    }
    Resampler resampler(raw);
    bool set = true;
    if (engine == CHfcFfmpegResampler::Engine::kSoxr) {
        // 28 bits: soxr's "very high quality", stop band far below 100 dB, pass band to 20 kHz.
        set = av_opt_set_int(raw, "resampler", SWR_ENGINE_SOXR, 0) >= 0 &&
              av_opt_set_int(raw, "precision", 28, 0) >= 0;
    } else {
        // A Kaiser window of beta 12 (about 110 dB stop band) over 256 taps per phase puts the
        // transition between 20 kHz and the first image of a 20 kHz tone.
        set = av_opt_set_int(raw, "resampler", SWR_ENGINE_SWR, 0) >= 0 &&
              av_opt_set_int(raw, "filter_type", SWR_FILTER_TYPE_KAISER, 0) >= 0 &&
              av_opt_set_int(raw, "kaiser_beta", 12, 0) >= 0 &&
              av_opt_set_int(raw, "filter_size", 256, 0) >= 0 &&
              av_opt_set_int(raw, "phase_shift", 12, 0) >= 0 &&
              av_opt_set_int(raw, "linear_interp", 1, 0) >= 0 &&
              av_opt_set_double(raw, "cutoff", 1.0, 0) >= 0;
    }
    if (!set || swr_init(raw) < 0) {
        return nullptr;
    }
    return resampler;
}

bool ConvertPlane(std::vector<float>& plane, int sourceRate, size_t wanted,
                  CHfcFfmpegResampler::Engine engine) {
    const Resampler resampler = Make(sourceRate, engine);
    if (!resampler) {
        return false;
    }
    std::vector<float> converted;
    converted.reserve(wanted + 64);
    std::vector<float> scratch;
    size_t done = 0;
    // The last call (no input) drains the filter's tail.
    for (bool last = false; !last;) {
        const size_t take = std::min(kBlockFrames, plane.size() - done);
        last = take == 0;
        const int room = swr_get_out_samples(resampler.get(), static_cast<int>(take));
        if (room < 0) {
            return false;
        }
        scratch.resize(static_cast<size_t>(room) + 1);
        uint8_t* out = reinterpret_cast<uint8_t*>(scratch.data());
        const uint8_t* in = reinterpret_cast<const uint8_t*>(plane.data() + done);
        const int made = swr_convert(resampler.get(), &out, room + 1, last ? nullptr : &in,
                                     static_cast<int>(take));
        if (made < 0) {
            return false;
        }
        converted.insert(converted.end(), scratch.begin(), scratch.begin() + made);
        done += take;
    }
    // The engines differ by a frame or so in what the drain gives; the length is the rate ratio's.
    converted.resize(wanted, 0.0f);
    plane.swap(converted);
    return true;
}

} // namespace

CHfcFfmpegResampler::Engine CHfcFfmpegResampler::BestEngine() {
    static const Engine best = Make(44100, Engine::kSoxr) ? Engine::kSoxr : Engine::kSwr;
    return best;
}

bool CHfcFfmpegResampler::To48k(std::vector<std::vector<float>>& planes, int sourceRate,
                                size_t maxFrames, Engine engine) {
    if (planes.empty() || sourceRate <= 0) {
        return false;
    }
    const size_t frames = planes[0].size();
    const size_t exact = static_cast<size_t>(
        (static_cast<uint64_t>(frames) * kOutputRate + static_cast<uint64_t>(sourceRate) / 2) /
        static_cast<uint64_t>(sourceRate));
    const size_t wanted = std::min(exact, maxFrames);
    for (std::vector<float>& plane : planes) {
        if (sourceRate == kOutputRate) {
            plane.resize(wanted);
            continue;
        }
        if (!ConvertPlane(plane, sourceRate, wanted, engine)) {
            EfTrace("FFmpeg decoder: cannot resample %d Hz to %d Hz.", sourceRate, kOutputRate);
            return false;
        }
    }
    return true;
}
