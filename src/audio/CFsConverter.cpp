#include "audio/CFsConverter.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#if defined(__x86_64__)
#include <xmmintrin.h>
#else
#include <cfenv>
#endif

namespace {

constexpr int kMaxUp = 511;
// Each channel's mirrored ring, spaced so that the channels do not start at the same offset
// within a 4 KB page (loads and stores 4 KB apart are mistaken for each other by the CPU).
constexpr int kHistoryFloats = 2 * fsconv::kRingSize + 2 * fsconv::kTapAlignment;

// The arithmetic of Process rounds toward zero. Denormals are kept in every mode (flushing them
// in some kernels only would make the kernels' results differ).
class CProcessRounding {
public:
    CProcessRounding() {
#if defined(__x86_64__)
        constexpr unsigned kRoundingBits = 0x6000;
        constexpr unsigned kRoundTowardZero = 0x6000;
        constexpr unsigned kFlushToZero = 0x8000;
        constexpr unsigned kDenormalsAreZero = 0x0040;
        saved_ = _mm_getcsr();
        _mm_setcsr((saved_ & ~(kRoundingBits | kFlushToZero | kDenormalsAreZero)) |
                   kRoundTowardZero);
#else
        saved_ = static_cast<unsigned>(std::fegetround());
        std::fesetround(FE_TOWARDZERO);
#endif
    }
    ~CProcessRounding() {
#if defined(__x86_64__)
        _mm_setcsr(saved_);
#else
        std::fesetround(static_cast<int>(saved_));
#endif
    }
    CProcessRounding(const CProcessRounding&) = delete;
    CProcessRounding& operator=(const CProcessRounding&) = delete;

private:
    unsigned saved_ = 0;
};

// The fastest mode kModeAuto may pick (see LimitAutoMode).
std::atomic<int> autoModeLimit{CFsConverter::kModeAvx2};

// Rounds a pointer into storage up to the kernels' alignment.
float* Aligned(std::vector<float>& storage) {
    constexpr uintptr_t bytes = fsconv::kTapAlignment * sizeof(float);
    const auto address = reinterpret_cast<uintptr_t>(storage.data());
    return storage.data() + ((bytes - address % bytes) % bytes) / sizeof(float);
}

} // namespace

bool CFsConverter::IsModeSupported(int mode) {
    switch (mode) {
    case kModeScalar:
        return true;
#if defined(__x86_64__)
    case kModeSse2:
        return true;
    case kModeAvx2:
        // The CPU model may not be known yet when called from a static initializer.
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
#endif
    default:
        return false;
    }
}

int CFsConverter::BestMode() {
    for (int mode = autoModeLimit.load(); mode > kModeScalar; --mode) {
        if (IsModeSupported(mode)) {
            return mode;
        }
    }
    return kModeScalar;
}

int CFsConverter::LimitAutoMode(int mode) {
    return autoModeLimit.exchange(std::clamp(mode, int{kModeScalar}, int{kModeAvx2}));
}

CFsConverter::CFsConverter(int channels, int mode) {
    state_.channels = std::clamp(channels, 1, fsconv::kMaxChannels);
    mode_ = mode < 0 || mode > kModeAvx2 ? BestMode() : mode;
    while (!IsModeSupported(mode_)) {
        --mode_;
    }
    historyStorage_.assign(
        static_cast<size_t>(state_.channels) * kHistoryFloats + fsconv::kTapAlignment, 0.0f);
    float* history = Aligned(historyStorage_);
    for (int c = 0; c < state_.channels; ++c) {
        state_.history[c] = history + c * kHistoryFloats;
    }
    filter_.SetAttenuation(100.0);
    filter_.SetSeriesTerms(15);
    Reset();
}

void CFsConverter::SetAttenuation(double decibels) {
    filter_.SetAttenuation(decibels);
}

void CFsConverter::SetSeriesTerms(int terms) {
    filter_.SetSeriesTerms(terms);
}

struct CFsConverter::PhaseBank {
    struct Key {
        int length = 0;
        int inputRate = 0;
        int cutoff = 0;
        int up = 0;
        int down = 0;
        double attenuation = 0.0;
        int seriesTerms = 0;
        bool operator==(const Key&) const = default;
    };

    Key key;
    int taps = 0;
    int stride = 0;
    std::vector<float> storage;
    const float* phases = nullptr;
    std::vector<int32_t> slots;
    std::vector<int32_t> leads;
};

bool CFsConverter::Design(int length, int inputRate, int cutoff, int up, int down) {
    if (length <= 0 || inputRate <= 0 || cutoff <= 0 || up <= 0 || down <= 0) {
        return false;
    }
    up = std::min(up, kMaxUp);
    const int64_t taps = ((int64_t{length} + up - 1) / up + 3) / 4 * 4;
    if (taps > fsconv::kRingSize || int64_t{inputRate} * up > INT32_MAX) {
        return false;
    }
    filter_.SetGain(up);
    filter_.SetLength(length);
    filter_.SetSamplingRate(inputRate * up);
    filter_.SetCutoff(cutoff);

    const PhaseBank::Key key{length,
                             inputRate,
                             cutoff,
                             up,
                             down,
                             filter_.Window().GetAttenuation(),
                             filter_.Window().GetSeriesTerms()};
    static std::mutex cacheLock;
    static std::shared_ptr<const PhaseBank> cached;
    std::shared_ptr<const PhaseBank> bank;
    {
        std::lock_guard<std::mutex> lock(cacheLock);
        if (cached && cached->key == key) {
            bank = cached;
        }
    }
    if (!bank) {
        auto built = std::make_shared<PhaseBank>();
        built->key = key;
        built->taps = static_cast<int>(taps);
        const int stride =
            static_cast<int>((taps + fsconv::kTapAlignment - 1) / fsconv::kTapAlignment) *
            fsconv::kTapAlignment;
        built->stride = stride;
        // Output t uses phase (t * down) % up: number the phases in that order of first use.
        built->slots.assign(static_cast<size_t>(up), -1);
        int next = 0;
        for (int64_t p = 0; built->slots[static_cast<size_t>(p)] < 0; p = (p + down) % up) {
            built->slots[static_cast<size_t>(p)] = next++;
        }
        for (int32_t& slot : built->slots) {
            if (slot < 0) {
                slot = next++;
            }
        }
        built->storage.assign(static_cast<size_t>(up) * stride + fsconv::kTapAlignment, 0.0f);
        float* phases = Aligned(built->storage);
        for (int j = 0; j < up; ++j) {
            float* last = phases +
                          static_cast<size_t>(built->slots[static_cast<size_t>(j)]) * stride +
                          stride - 1;
            for (int k = 0; j + k * up < length; ++k) {
                last[-k] = static_cast<float>(filter_.Coefficient(j + k * up));
            }
        }
        // Leading chunks of eight zeros are skipped; at least one chunk is kept.
        built->leads.assign(static_cast<size_t>(up), 0);
        for (int slot = 0; slot < up; ++slot) {
            const float* phase = phases + static_cast<size_t>(slot) * stride;
            int lead = 0;
            while (lead + fsconv::kTapAlignment < stride &&
                   std::all_of(phase + lead, phase + lead + fsconv::kTapAlignment,
                               [](float c) { return c == 0.0f; })) {
                lead += fsconv::kTapAlignment;
            }
            built->leads[static_cast<size_t>(slot)] = lead;
        }
        built->phases = phases;
        bank = built;
        std::lock_guard<std::mutex> lock(cacheLock);
        cached = bank;
    }
    bank_ = bank;
    state_.phases = bank_->phases;
    state_.phaseSlot = bank_->slots.data();
    state_.phaseLead = bank_->leads.data();
    state_.taps = bank_->taps;
    state_.stride = bank_->stride;
    state_.up = up;
    state_.down = down;
    Reset();
    return true;
}

int CFsConverter::Process(const float* const* inputs, float* const* outputs, int frames) {
    if (!inputs || !outputs || frames <= 0) {
        return 0;
    }
    CProcessRounding rounding;
    switch (mode_) {
#if defined(__x86_64__)
    case kModeAvx2:
        return fsconv::ProcessAvx2(state_, inputs, outputs, frames);
    case kModeSse2:
        return fsconv::ProcessSse2(state_, inputs, outputs, frames);
#endif
    default:
        return fsconv::ProcessScalar(state_, inputs, outputs, frames);
    }
}

void CFsConverter::Reset() {
    std::fill(historyStorage_.begin(), historyStorage_.end(), 0.0f);
    state_.writeIndex = 0;
    state_.phase = 0;
}

double CFsConverter::DelaySeconds() const {
    return filter_.DelaySeconds();
}

int CFsConverter::DelayUpsampled() const {
    return filter_.HalfLength();
}

int CFsConverter::MaxOutputFrames(int frames) const {
    if (frames <= 0) {
        return 0;
    }
    const int64_t bound = (int64_t{frames} * state_.up + state_.down - 1) / state_.down + 1;
    return static_cast<int>(std::min<int64_t>(bound, INT32_MAX));
}
