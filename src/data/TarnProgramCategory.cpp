#include "data/TarnProgramCategory.h"

namespace tarn {

namespace {

constexpr int kCounts[kCategoryCount] = {40, 15, 40, 40, 30, 30, 40, 15};

} // namespace

int ProgramCountOf(int category) {
    return category >= 0 && category < kCategoryCount ? kCounts[category] : 0;
}

int FirstProgramOf(int category) {
    int first = 0;
    for (int c = 0; c < category && c < kCategoryCount; ++c) {
        first += kCounts[c];
    }
    return category >= 0 && category < kCategoryCount ? first : 0;
}

int CategoryOf(int program) {
    int end = 0;
    for (int c = 0; c < kCategoryCount; ++c) {
        end += kCounts[c];
        if (program < end) {
            return c;
        }
    }
    return kCategoryCount;
}

int IndexInCategory(int program) {
    if (program >= kProgramCount) {
        return 0;
    }
    return program - FirstProgramOf(CategoryOf(program));
}

} // namespace tarn
