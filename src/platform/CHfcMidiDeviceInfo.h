#pragma once

#include <cstdint>
#include <string>

// One MIDI input or output device as a backend lists it.
struct CHfcMidiDeviceInfo {
    int index = -1;   // position in the backend's list of that direction
    std::string name; // product name shown to the user and used to find the port again
    // Manufacturer and product identifiers of the device's driver, where the backend knows them.
    bool hasIds = false;
    uint16_t manufacturerId = 0;
    uint16_t productId = 0;
};
