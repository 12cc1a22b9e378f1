#include "ui/pages/samplelibrarian/TarnSampleLibrarianValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tarn {

namespace {

// The lift of the header's tempo field, as a single-precision constant.
constexpr double kTempoLift = static_cast<double>(0.0001f);

} // namespace

std::string TempoText(double bpm) {
    const double tenths = std::trunc((bpm + kTempoLift) * 10.0);
    // "%.1f" without the user's locale, so the decimal mark stays '.'.
    char text[48];
    const auto result =
        std::to_chars(text, text + sizeof text, tenths / 10.0, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

std::optional<double> ParseTempo(const std::string& text) {
    const char* begin = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*begin))) {
        ++begin;
    }
    if (*begin == '\0') {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin) {
        return std::nullopt;
    }
    while (std::isspace(static_cast<unsigned char>(*end))) {
        ++end;
    }
    if (*end != '\0' || !std::isfinite(value)) {
        return std::nullopt;
    }
    return std::clamp(value, kMinTempo, kMaxTempo);
}

bool TempoDiffers(double a, double b) {
    return static_cast<float>(a) != static_cast<float>(b);
}

double PeakDecibels(int32_t peak, int32_t fullScale) {
    if (peak <= 0 || fullScale <= 0) {
        return -std::numeric_limits<double>::infinity();
    }
    const double ratio = static_cast<double>(peak) / static_cast<double>(fullScale);
    return 10.0 * std::log10(ratio * ratio);
}

} // namespace tarn
