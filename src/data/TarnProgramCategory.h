#pragma once

// The instrument's 250 preset programs, numbered in category order over 8 categories
// (Lead, Acoustic, Bass, Chord, SE, Drum, Pattern, Vocoder).
namespace tarn {

constexpr int kProgramCount = 250;
constexpr int kCategoryCount = 8;

// Programs in a category; 0 outside 0-7.
int ProgramCountOf(int category);
// First program of a category; 0 outside 0-7.
int FirstProgramOf(int category);
// The category a program belongs to; 8 for a program outside 0-249.
int CategoryOf(int program);
// Position of a program within its category; 0 for a program outside 0-249.
int IndexInCategory(int program);

} // namespace tarn
