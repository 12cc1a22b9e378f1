#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The instrument's own 7-bit packing of 8-bit data: every group of up to seven bytes travels as
// one byte holding their top bits (bit j for the group's byte j) followed by the seven-bit rest.
// Kept apart from the editor's codec on purpose, so that a fault in either shows up as a
// transfer that does not round-trip.
namespace sim {

size_t PackedSize(size_t n);
std::vector<uint8_t> Pack(const uint8_t* data, size_t n);
// Unpacks n bytes; false (and nothing written) when fewer than PackedSize(n) bytes are given.
bool Unpack(const uint8_t* packed, size_t packedLength, uint8_t* out, size_t n);

} // namespace sim
