#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/CEfAudioFileIO.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "support/TempDir.h"

// Helpers shared by the import and export tests: fixtures, byte builders and reading through a
// reader with the outcome as an error code.
namespace importtest {

constexpr int kSucceeded = -1;

inline std::string Fixture(const std::string& name) {
    return std::string(TALVEX_FIXTURES_DIR) + "/audio/" + name;
}

inline std::vector<uint8_t> FixtureBytes(const std::string& name) {
    return TempDir::ReadAll(Fixture(name));
}

// Reads bytes from memory; kSucceeded or the CTarnFileException code.
inline int ReadWith(CEfAudioFileIO& reader, const std::vector<uint8_t>& bytes,
                    CTarnSampleData& sample, CTarnCurrentSettingData* setting = nullptr) {
    CHfcFile file;
    if (!file.OpenMemory(bytes.data(), bytes.size())) {
        return -2;
    }
    try {
        reader.Read(sample, setting, file);
        return kSucceeded;
    } catch (const CTarnFileException& e) {
        return e.GetCode();
    }
}

inline void Append(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}
inline void AppendLE32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    ef::WriteLE32(b, v);
    out.insert(out.end(), b, b + 4);
}
inline void AppendLE16(std::vector<uint8_t>& out, uint16_t v) {
    uint8_t b[2];
    ef::WriteLE16(b, v);
    out.insert(out.end(), b, b + 2);
}

// A PCM "fmt " chunk.
inline std::vector<uint8_t> FmtChunk(int channels, int rate, int bits, uint16_t tag = 1) {
    std::vector<uint8_t> c;
    Append(c, "fmt ");
    AppendLE32(c, 16);
    AppendLE16(c, tag);
    AppendLE16(c, static_cast<uint16_t>(channels));
    AppendLE32(c, static_cast<uint32_t>(rate));
    AppendLE32(c, static_cast<uint32_t>(rate * channels * bits / 8));
    AppendLE16(c, static_cast<uint16_t>(channels * bits / 8));
    AppendLE16(c, static_cast<uint16_t>(bits));
    return c;
}

inline std::vector<uint8_t> DataChunk(const std::vector<uint8_t>& pcm) {
    std::vector<uint8_t> c;
    Append(c, "data");
    AppendLE32(c, static_cast<uint32_t>(pcm.size()));
    c.insert(c.end(), pcm.begin(), pcm.end());
    if (pcm.size() & 1) {
        c.push_back(0);
    }
    return c;
}

inline std::vector<uint8_t> AcidChunk(uint32_t beats) {
    std::vector<uint8_t> c;
    Append(c, "acid");
    AppendLE32(c, 24);
    AppendLE32(c, 1);  // flags: one-shot off
    AppendLE16(c, 60); // root note
    AppendLE16(c, 0);  // unknown
    AppendLE32(c, 0);  // unknown float
    AppendLE32(c, beats);
    AppendLE16(c, 4); // meter denominator
    AppendLE16(c, 4); // meter numerator
    AppendLE32(c, 0); // tempo float, not used
    return c;
}

// RIFF header followed by the given chunks.
inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> body;
    Append(body, "WAVE");
    for (const auto& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    std::vector<uint8_t> out;
    Append(out, "RIFF");
    AppendLE32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A silent 8-bit mono WAV of the given length (8-bit keeps long test signals small).
inline std::vector<uint8_t> SilentWave(int frames, int rate = 48000) {
    return Riff({FmtChunk(1, rate, 8), DataChunk(std::vector<uint8_t>(size_t(frames), 128))});
}

inline int16_t Left(const CTarnSampleData& s, int frame) {
    return static_cast<int16_t>(s.GetSample(frame, 0));
}
inline int16_t Right(const CTarnSampleData& s, int frame) {
    return static_cast<int16_t>(s.GetSample(frame, 1));
}

} // namespace importtest
