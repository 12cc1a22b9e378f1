#include "framework/CTarnMessageBox.h"

#include "framework/CEfAlert.h"

namespace {

const char* const kTexts[CTarnMessageBox::kMessageCount] = {
    "TALVEX PRO+ Editor internal error.",
    // File errors.
    "Failed to open the file.",
    "File format not supported",
    "Unable to read data from the file.",
    "Unable to write data to the file.",
    "File format not supported.",
    "Failed to allocate memory.",
    "The file is broken (Checksum error)",
    "Supported sampling rates: 48KH, 44.1KHz",
    "Supported bit rates: 8bit, 16bit, 24bit",
    "Supported channels: 1(mono) or 2(stereo)",
    "Unsupported wave format",
    "Compressed AIFF files are not supported.",
    "Failed to set Loop Recorder data.",
    "The file does not contain enough data.",
    "Failed to read the audio data file",
    // MIDI errors.
    "MIDI port has not been specified.",
    "Cannot find TALVEX PRO+.",
    "Failed to open the MIDI port.",
    "TALVEX PRO+ returned an error message.",
    "The communication has timed-out.",
    "Connected device is not a TALVEX PRO+.",
    "TALVEX PRO+ Editor cannot communicate with the specified MIDI port.",
    "Failed to allocate memory.",
    "Failed to send MIDI message.",
    "The received MIDI message was incomplete.",
    "The VESK USB-MIDI Driver is not installed,\nso certain functions may not work correctly.\nWe "
    "recommend that you install the VESK USB-MIDI Driver.",
    "Cannot communicate while the TALVEX PRO+ is in the USB mode or while accessing the SD Card.",
    "Cannot communicate while the TALVEX PRO+ is recording.",
    // Questions before a transmission.
    "This operation will overwrite the Loop Recorder Data on the TALVEX PRO+.\nContinue?",
    "This operation will overwrite the Program Memory Data on the TALVEX PRO+.\nContinue?",
    "This operation will overwrite the Global Data on the TALVEX PRO+.\nContinue?",
    "This operation will overwrite all data on the TALVEX PRO+.\nContinue?",
    "This operation will discard all data in the editor.\nContinue?",
    "Editor won't be able to communicate with the TALVEX PRO+ after this operation, because the "
    "System Ex MIDI filter setting is  set to disable. Continue?\n\n*Editor can communicate with "
    "the TALVEX PRO+ if the System Ex setting is set to enable",
    "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available.",
    "Failed to open the audio output device.",
};

} // namespace

const char* CTarnMessageBox::Caption() {
    return "TALVEX PRO+ Editor";
}

const char* CTarnMessageBox::Text(int messageCode) {
    if (messageCode < 0 || messageCode >= kMessageCount) {
        return nullptr;
    }
    return kTexts[messageCode];
}

int CTarnMessageBox::Show(int messageCode, uint8_t style) {
    const char* text = Text(messageCode);
    if (!text) {
        return -1;
    }
    return CEfAlert(text, Caption(), style);
}
