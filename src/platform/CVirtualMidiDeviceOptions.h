#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How a virtual MIDI device presents itself and how fast it moves bytes.
struct CVirtualMidiDeviceOptions {
    std::string name = "Virtual MIDI";
    bool hasInput = true;  // listed among the input devices (bytes to the editor)
    bool hasOutput = true; // listed among the output devices (bytes from the editor)
    // Driver identifiers reported for the input and the output, when hasIds is set.
    bool hasIds = false;
    uint16_t inputManufacturerId = 0;
    uint16_t inputProductId = 0;
    uint16_t outputManufacturerId = 0;
    uint16_t outputProductId = 0;
    // Largest piece delivered at once, in either direction.
    size_t segmentSize = 2048;
    // Bytes per second in each direction; 0 moves them as fast as the threads allow.
    size_t bytesPerSecond = 0;
};
