#include "audio/CTarnRateConverter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <numeric>

#include "audio/RateConverterKernels.h"
#include "audio/TarnDeterministicSine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Stop-band attenuation the Kaiser window is designed for; leaves a margin over the 100 dB the
// converter promises for the float arithmetic and the interpolated phases.
constexpr double kAttenuation = 115.0;
// The band kept free of images and aliases: up to 20 kHz, or this fraction of the lower of the
// two rates for sources below 44.1 kHz (20 kHz of 44.1 kHz).
constexpr double kPassband = 20000.0;
constexpr double kPassbandFraction = 20000.0 / 44100.0;
// Taps are padded to a multiple of the eight interleaved sums.
constexpr int kLanes = 8;
// Up-sampling factors up to this get a table of exact phases; larger ones interpolate in a
// prototype sampled this many times per input frame.
constexpr int64_t kMaxTablePhases = 1024;
constexpr int64_t kPrototypePhases = 1024;
// Outputs converted per block of input taken from the interleaved frames.
constexpr size_t kBlockOutputs = 4096;

constexpr double kPi = 3.14159265358979323846;

// Zeroth-order modified Bessel function of the first kind (power series).
double BesselI0(double x) {
    const double quarterSquare = x * x / 4.0;
    double term = 1.0;
    double sum = 1.0;
    // 1 / k^2, so that the series needs no division.
    static const std::array<double, 100> inverseSquares = [] {
        std::array<double, 100> table{};
        for (size_t k = 1; k < table.size(); ++k) {
            table[k] = 1.0 / (static_cast<double>(k) * static_cast<double>(k));
        }
        return table;
    }();
    for (size_t k = 1; k < inverseSquares.size(); ++k) {
        term *= quarterSquare * inverseSquares[k];
        sum += term;
        if (term < sum * 1e-18) {
            break;
        }
    }
    return sum;
}

// The filter for one source rate.
struct Design {
    uint32_t sourceRate = 0;
    int64_t up = 1;   // L: output frames per down input frames
    int64_t down = 1; // M
    // Half the window length in input frames; each output reads 2 * half inputs, padded to taps.
    int half = 0;
    int taps = 0;
    // Exact phases (up rows) or, when interpolating, the prototype (kPrototypePhases + 1 rows)
    // and the differences of successive rows.
    bool interpolate = false;
    std::vector<float> rows;
    std::vector<float> slopes;
};

// The windowed sinc at s input frames from the centre.
struct Kernel {
    double cutoff = 0.5; // cycles per input frame
    double half = 1.0;
    double beta = 0.0;
    double inverseI0Beta = 1.0;

    double operator()(double s) const {
        const double r = s / half;
        if (r <= -1.0 || r >= 1.0) {
            return 0.0;
        }
        const double window = BesselI0(beta * std::sqrt(1.0 - r * r)) * inverseI0Beta;
        const double x = 2.0 * kPi * cutoff * s;
        const double sinc = x == 0.0 ? 1.0 : tarn::DeterministicSine(x) / x;
        return 2.0 * cutoff * sinc * window;
    }
};

// Row of taps for the fractional position frac (0 <= frac <= 1) of an output between input
// frames n0 and n0 + 1: tap j weighs input n0 - half + 1 + j.
void FillRow(const Kernel& kernel, const Design& d, double frac, float* row) {
    for (int j = 0; j < d.taps; ++j) {
        row[j] = j < 2 * d.half ? static_cast<float>(kernel(frac + d.half - 1 - j)) : 0.0f;
    }
}

std::shared_ptr<const Design> MakeDesign(uint32_t sourceRate) {
    auto d = std::make_shared<Design>();
    d->sourceRate = sourceRate;
    const int64_t g = std::gcd(int64_t{CTarnRateConverter::kTargetRate}, int64_t{sourceRate});
    d->up = CTarnRateConverter::kTargetRate / g;
    d->down = sourceRate / g;

    // The band edge is protected and the transition centred on the lower Nyquist frequency.
    const double lower = std::min<double>(sourceRate, CTarnRateConverter::kTargetRate);
    const double passband = std::min(kPassband, kPassbandFraction * lower);
    const double transition = (lower - 2.0 * passband) / sourceRate; // cycles per input frame
    // Kaiser's length estimate for the attenuation and transition width.
    const double length = (kAttenuation - 7.95) / (14.36 * transition) + 1.0;
    d->half = static_cast<int>(std::ceil(length / 2.0));
    d->taps = (2 * d->half + kLanes - 1) / kLanes * kLanes;

    Kernel kernel;
    kernel.cutoff = lower / 2.0 / sourceRate;
    kernel.half = d->half;
    kernel.beta = 0.1102 * (kAttenuation - 8.7);
    kernel.inverseI0Beta = 1.0 / BesselI0(kernel.beta);

    const auto taps = static_cast<size_t>(d->taps);
    d->interpolate = d->up > kMaxTablePhases;
    // Row r of n describes the position r / n between two inputs; the kernel is even, so row
    // n - r is row r reversed and only the first half is computed.
    const int64_t n = d->interpolate ? kPrototypePhases : d->up;
    const int64_t rows = d->interpolate ? kPrototypePhases + 1 : d->up;
    d->rows.assign(static_cast<size_t>(rows) * taps, 0.0f);
    const auto width = static_cast<size_t>(2 * d->half);
    for (int64_t r = 0; r < rows; ++r) {
        float* row = d->rows.data() + static_cast<size_t>(r) * taps;
        if (2 * r <= n) {
            FillRow(kernel, *d, static_cast<double>(r) / static_cast<double>(n), row);
            continue;
        }
        const float* mirror = d->rows.data() + static_cast<size_t>(n - r) * taps;
        for (size_t j = 0; j < width; ++j) {
            row[j] = mirror[width - 1 - j];
        }
    }
    if (!d->interpolate) {
        return d;
    }
    d->slopes.assign(static_cast<size_t>(kPrototypePhases) * taps, 0.0f);
    for (size_t i = 0; i < d->slopes.size(); ++i) {
        d->slopes[i] = d->rows[i + taps] - d->rows[i];
    }
    return d;
}

// The designs of the last few rates are kept: an import converts one file after another at the
// same rate, and a folder of mixed rates should not redesign the filter for every file.
constexpr size_t kKeptDesigns = 8;

std::shared_ptr<const Design> GetDesign(uint32_t sourceRate) {
    static std::mutex lock;
    // Most recently used first.
    static std::vector<std::shared_ptr<const Design>> kept;
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto found = std::find_if(kept.begin(), kept.end(), [sourceRate](const auto& d) {
            return d->sourceRate == sourceRate;
        });
        if (found != kept.end()) {
            std::rotate(kept.begin(), found, found + 1);
            return kept.front();
        }
    }
    auto made = MakeDesign(sourceRate);
    std::lock_guard<std::mutex> guard(lock);
    kept.insert(kept.begin(), made);
    if (kept.size() > kKeptDesigns) {
        kept.pop_back();
    }
    return made;
}

// The inner products: eight interleaved sums (tap j goes to sum j % 8), reduced as
// ((s0 + s4) + (s2 + s6)) + ((s1 + s5) + (s3 + s7)). The vector code computes the same
// operations in the same order as the plain code. Dot4 computes four independent products at
// once (the chains of additions of one product are too slow on their own).
float PortableDot(const float* c, const float* a, int taps) {
    float s[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        s[l] = c[l] * a[l];
    }
    for (int j = kLanes; j < taps; j += kLanes) {
        for (int l = 0; l < kLanes; ++l) {
            s[l] = s[l] + c[j + l] * a[j + l];
        }
    }
    const float x0 = s[0] + s[4];
    const float x1 = s[1] + s[5];
    const float x2 = s[2] + s[6];
    const float x3 = s[3] + s[7];
    return (x0 + x2) + (x1 + x3);
}

void PortableDot4(const float* const* rows, const float* const* xs, int taps, float* const* ys) {
    for (int i = 0; i < 4; ++i) {
        *ys[i] = PortableDot(rows[i], xs[i], taps);
    }
}

// row := base + alpha * slope
void PortableInterpolate(const float* base, const float* slope, float alpha, int taps, float* row) {
    for (int j = 0; j < taps; ++j) {
        row[j] = base[j] + alpha * slope[j];
    }
}

#if defined(__SSE2__)
float Reduce(__m128 low, __m128 high) {
    __m128 x = _mm_add_ps(low, high);
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    return _mm_cvtss_f32(_mm_add_ss(x, _mm_shuffle_ps(x, x, 1)));
}

float VectorDot(const float* c, const float* a, int taps) {
    __m128 a0 = _mm_mul_ps(_mm_loadu_ps(c), _mm_loadu_ps(a));
    __m128 a1 = _mm_mul_ps(_mm_loadu_ps(c + 4), _mm_loadu_ps(a + 4));
    for (int j = kLanes; j < taps; j += kLanes) {
        a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_loadu_ps(c + j), _mm_loadu_ps(a + j)));
        a1 = _mm_add_ps(a1, _mm_mul_ps(_mm_loadu_ps(c + j + 4), _mm_loadu_ps(a + j + 4)));
    }
    return Reduce(a0, a1);
}

void VectorDot4(const float* const* rows, const float* const* xs, int taps, float* const* ys) {
    __m128 lo[4];
    __m128 hi[4];
    for (int i = 0; i < 4; ++i) {
        lo[i] = _mm_mul_ps(_mm_loadu_ps(rows[i]), _mm_loadu_ps(xs[i]));
        hi[i] = _mm_mul_ps(_mm_loadu_ps(rows[i] + 4), _mm_loadu_ps(xs[i] + 4));
    }
    for (int j = kLanes; j < taps; j += kLanes) {
        for (int i = 0; i < 4; ++i) {
            lo[i] =
                _mm_add_ps(lo[i], _mm_mul_ps(_mm_loadu_ps(rows[i] + j), _mm_loadu_ps(xs[i] + j)));
            hi[i] = _mm_add_ps(
                hi[i], _mm_mul_ps(_mm_loadu_ps(rows[i] + j + 4), _mm_loadu_ps(xs[i] + j + 4)));
        }
    }
    for (int i = 0; i < 4; ++i) {
        *ys[i] = Reduce(lo[i], hi[i]);
    }
}

void VectorInterpolate(const float* base, const float* slope, float alpha, int taps, float* row) {
    const __m128 a = _mm_set1_ps(alpha);
    for (int j = 0; j < taps; j += 4) {
        _mm_storeu_ps(row + j,
                      _mm_add_ps(_mm_loadu_ps(base + j), _mm_mul_ps(a, _mm_loadu_ps(slope + j))));
    }
}
#endif

struct Kernels {
    float (*dot)(const float*, const float*, int);
    void (*dot4)(const float* const*, const float* const*, int, float* const*);
    void (*interpolate)(const float*, const float*, float, int, float*);
};

Kernels Choose(CTarnRateConverter::Arithmetic arithmetic) {
    using Arithmetic = CTarnRateConverter::Arithmetic;
#if defined(__x86_64__)
    static const bool hasAvx2 = rateconv::HasAvx2();
    if ((arithmetic == Arithmetic::kFastest || arithmetic == Arithmetic::kAvx2) && hasAvx2) {
        return {rateconv::DotAvx2, rateconv::Dot4Avx2, rateconv::InterpolateAvx2};
    }
#endif
#if defined(__SSE2__)
    if (arithmetic != Arithmetic::kPortable) {
        return {VectorDot, VectorDot4, VectorInterpolate};
    }
#endif
    return {PortableDot, PortableDot4, PortableInterpolate};
}

// Collects inner products and computes them four at a time.
class CProducts {
public:
    CProducts(const Kernels& kernels, int taps) : kernels_(kernels), taps_(taps) {}
    void Add(const float* row, const float* x, float* y) {
        rows_[pending_] = row;
        xs_[pending_] = x;
        ys_[pending_] = y;
        if (++pending_ == 4) {
            kernels_.dot4(rows_, xs_, taps_, ys_);
            pending_ = 0;
        }
    }
    void Finish() {
        for (int i = 0; i < pending_; ++i) {
            *ys_[i] = kernels_.dot(rows_[i], xs_[i], taps_);
        }
        pending_ = 0;
    }

private:
    const Kernels& kernels_;
    int taps_;
    int pending_ = 0;
    const float* rows_[4] = {};
    const float* xs_[4] = {};
    float* ys_[4] = {};
};

// Plane indices first .. first + count - 1 of every channel (index p holds input frame
// p - half; silence outside the input) into planes of planeSize floats each.
void FillPlanes(const float* interleaved, size_t frames, unsigned channels, size_t first,
                size_t count, size_t half, float* planes, size_t planeSize) {
    for (unsigned c = 0; c < channels; ++c) {
        float* plane = planes + c * planeSize;
        for (size_t k = 0; k < count; ++k) {
            const size_t index = first + k;
            plane[k] = index >= half && index - half < frames
                           ? interleaved[(index - half) * channels + c]
                           : 0.0f;
        }
    }
}

} // namespace

size_t CTarnRateConverter::OutputFrames(size_t frames, uint32_t sourceRate) {
    if (sourceRate == 0) {
        return 0;
    }
    const uint64_t scaled = uint64_t{frames} * (2 * kTargetRate) + sourceRate;
    return static_cast<size_t>(scaled / (2 * uint64_t{sourceRate}));
}

std::vector<float> CTarnRateConverter::To48k(const float* interleaved, size_t frames,
                                             unsigned channels, uint32_t sourceRate) {
    return To48k(interleaved, frames, channels, sourceRate, Arithmetic::kFastest);
}

std::vector<float> CTarnRateConverter::To48k(const float* interleaved, size_t frames,
                                             unsigned channels, uint32_t sourceRate,
                                             Arithmetic arithmetic) {
    if (!interleaved || frames == 0 || channels == 0 || sourceRate < kMinRate ||
        sourceRate > kMaxRate) {
        return {};
    }
    if (sourceRate == kTargetRate) {
        return std::vector<float>(interleaved, interleaved + frames * channels);
    }
    const Kernels kernels = Choose(arithmetic);
    const std::shared_ptr<const Design> design = GetDesign(sourceRate);
    const Design& d = *design;
    const size_t outFrames = OutputFrames(frames, sourceRate);
    const auto taps = static_cast<size_t>(d.taps);
    const auto half = static_cast<size_t>(d.half);

    std::vector<float> out(outFrames * channels);
    // Interpolated rows, one per output still waiting for its products (at most four).
    constexpr size_t kRowBuffers = 5;
    std::vector<float> interpolated(d.interpolate ? kRowBuffers * taps : 0);
    // The input is taken a block of outputs at a time into one plane per channel, with silence
    // beyond its ends, so that every output reads a whole row without bounds checks.
    const auto down = static_cast<uint64_t>(d.down);
    const auto up = static_cast<uint64_t>(d.up);
    const size_t planeSize = (kBlockOutputs * down + up - 1) / up + taps + 2;
    std::vector<float> planes(planeSize * channels);
    CProducts products(kernels, d.taps);
    for (size_t block = 0; block < outFrames; block += kBlockOutputs) {
        const size_t blockEnd = std::min(outFrames, block + kBlockOutputs);
        // Plane index p holds input frame p - half; output t reads indices n0 + 1 onwards.
        const size_t firstIndex = static_cast<size_t>(uint64_t{block} * down / up) + 1;
        const size_t endIndex = static_cast<size_t>(uint64_t{blockEnd - 1} * down / up) + 1 + taps;
        FillPlanes(interleaved, frames, channels, firstIndex, endIndex - firstIndex, half,
                   planes.data(), planeSize);
        for (size_t t = block; t < blockEnd; ++t) {
            // Output t sits at input time t * down / up = n0 + phase / up.
            const uint64_t position = uint64_t{t} * down;
            const auto n0 = static_cast<size_t>(position / up);
            const auto phase = static_cast<int64_t>(position % up);
            const float* row = nullptr;
            if (!d.interpolate) {
                row = d.rows.data() + static_cast<size_t>(phase) * taps;
            } else {
                const int64_t scaled = phase * kPrototypePhases;
                const int64_t q = scaled / d.up;
                const float alpha = static_cast<float>(scaled % d.up) / static_cast<float>(d.up);
                float* buffer = interpolated.data() + (t % kRowBuffers) * taps;
                kernels.interpolate(d.rows.data() + static_cast<size_t>(q) * taps,
                                    d.slopes.data() + static_cast<size_t>(q) * taps, alpha, d.taps,
                                    buffer);
                row = buffer;
            }
            // Tap 0 weighs input n0 - half + 1, which is plane index n0 + 1.
            const float* x = planes.data() + (n0 + 1 - firstIndex);
            float* frame = out.data() + t * channels;
            for (unsigned c = 0; c < channels; ++c) {
                products.Add(row, x + c * planeSize, frame + c);
            }
        }
        // The products read the planes, which the next block overwrites.
        products.Finish();
    }
    return out;
}
