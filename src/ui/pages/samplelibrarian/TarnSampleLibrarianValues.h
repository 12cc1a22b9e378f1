#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The Sample Librarian's value conversions, kept apart from the widgets so that they can be
// checked on their own.
namespace tarn {

// Lowest and highest tempo a bank takes, in beats per minute.
constexpr double kMinTempo = 20.0;
constexpr double kMaxTempo = 300.0;

// The tempo as the page shows it: the tenth is cut, not rounded, after a tiny lift that keeps
// values such as 119.99995 from falling to the tenth below ("119.9" for 119.96, "120.0" for
// 119.99995).
std::string TempoText(double bpm);

// A typed tempo: a decimal number (blanks around it allowed), clamped to 20..300; nothing for
// text that is not a finite number.
std::optional<double> ParseTempo(const std::string& text);

// Whether two tempos differ as the instrument's single-precision values do.
bool TempoDiffers(double a, double b);

// The level of a peak sample value against the full-scale value: 10 * log10((peak / F)^2)
// decibels, minus infinity for a silent channel.
double PeakDecibels(int32_t peak, int32_t fullScale);

} // namespace tarn
