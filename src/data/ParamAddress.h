#pragma once

#include <cstdint>

// Address of one parameter of a data item: an id and a sub-index (index1). The further indexes
// exist for callers that carry more context; no data class interprets them. Unused ones are -1.
struct ParamAddress {
    int32_t id = -1;
    int32_t index1 = -1;
    int32_t index2 = -1;
    int32_t index3 = -1;
    int32_t index4 = -1;

    constexpr ParamAddress() = default;
    constexpr explicit ParamAddress(int32_t id_, int32_t index1_ = -1) : id(id_), index1(index1_) {}
    constexpr ParamAddress(int32_t id_, int32_t index1_, int32_t index2_, int32_t index3_,
                           int32_t index4_)
        : id(id_), index1(index1_), index2(index2_), index3(index3_), index4(index4_) {}
};
