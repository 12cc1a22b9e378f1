#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "cli/CliJson.h"
#include "data/CTarnAllData.h"
#include "data/CTarnParameterNames.h"
#include "data/CTarnSampleData.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"

namespace {

struct ChunkRow {
    std::string id;
    long long offset = 0;
    uint32_t length = 0;
    uint16_t blocks = 0;
    std::string stored;
    std::string computed;
    bool ok = true;
};

struct FileLayout {
    bool headerRead = false;
    std::string magic;
    int counts[3] = {0, 0, 0};
    uint32_t announcedSize = 0;
    long long actualSize = 0;
    std::vector<ChunkRow> chunks;
};

std::string Printable(uint32_t fourcc) {
    uint8_t bytes[4];
    ef::WriteBE32(bytes, fourcc);
    std::string text;
    for (uint8_t b : bytes) {
        text += (b >= 0x20 && b < 0x7f) ? static_cast<char>(b) : '?';
    }
    return text;
}

std::string Hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

// Walks the container without trusting it: every length is bounded by what the file holds.
FileLayout ReadLayout(const std::string& path) {
    FileLayout layout;
    CHfcFile file;
    if (!file.Open(path, CHfcFile::kRead | CHfcFile::kBinary)) {
        return layout;
    }
    layout.actualSize = file.Remaining();
    uint8_t header[tarn::kFileHeaderSize];
    if (file.Read(header, sizeof header) != sizeof header) {
        return layout;
    }
    layout.headerRead = true;
    layout.magic = Printable(ef::ReadBE32(header));
    layout.counts[0] = header[4];
    layout.counts[1] = header[5];
    layout.counts[2] = header[6];
    layout.announcedSize = ef::ReadBE32(header + 8);

    long long position = tarn::kFileHeaderSize;
    while (position + static_cast<long long>(tarn::kChunkHeaderSize) <= layout.actualSize) {
        uint8_t chunk[tarn::kChunkHeaderSize];
        if (!file.Seek(position, CHfcFile::kBegin) ||
            file.Read(chunk, sizeof chunk) != sizeof chunk) {
            break;
        }
        ChunkRow row;
        const uint32_t id = ef::ReadBE32(chunk);
        row.id = Printable(id);
        row.offset = position;
        row.length = ef::ReadBE32(chunk + 4);
        row.blocks = ef::ReadBE16(chunk + 8);
        const uint16_t stored = ef::ReadBE16(chunk + 10);
        const long long available = layout.actualSize - position - tarn::kChunkHeaderSize;
        const long long extent = static_cast<long long>(row.blocks) * tarn::kBlockSize;
        row.ok = row.blocks > 0 && position + extent <= layout.actualSize &&
                 static_cast<long long>(row.length) <= available;
        if (id == tarn::kChunkSmpl) {
            row.stored = Hex16(stored);
            row.computed = "-";
        } else {
            row.stored = Hex16(stored);
            const size_t n = row.length < available ? row.length : static_cast<size_t>(available);
            std::vector<uint8_t> data(n);
            if (file.Read(data.data(), n) == n) {
                const uint16_t sum = tarn::WordSumChecksum(data.data(), n);
                row.computed = Hex16(sum);
                row.ok = row.ok && sum == stored;
            } else {
                row.computed = "?";
                row.ok = false;
            }
        }
        layout.chunks.push_back(row);
        if (row.blocks == 0) {
            break;
        }
        position += extent;
    }
    return layout;
}

std::string Group(const std::string& name) {
    return name.substr(0, name.find('.'));
}

bool Applies(cli::FileKind kind, const CTarnParameterName& entry) {
    switch (kind) {
    case cli::FileKind::kAll:
        return true;
    case cli::FileKind::kGlobal:
        return entry.target == CTarnParameterName::kGlobal;
    case cli::FileKind::kProgram:
        return entry.target == CTarnParameterName::kProgramMemory;
    default:
        return false;
    }
}

struct BankRow {
    std::string name;
    double tempo;
    float phraseBeats;
    float playBeats;
    int level;
    int frames;
    int rate;
    double seconds;
};

std::vector<BankRow> Banks(cli::FileKind kind, CTarnAllData& data) {
    std::vector<BankRow> rows;
    if (kind != cli::FileKind::kAll && kind != cli::FileKind::kSample) {
        return rows;
    }
    const int count = kind == cli::FileKind::kAll ? 4 : 1;
    for (int i = 0; i < count; ++i) {
        const CTarnSampleData& bank = *data.Bank(i);
        BankRow row;
        row.name = kind == cli::FileKind::kAll ? std::string(1, static_cast<char>('A' + i)) : "-";
        row.tempo = bank.GetTempo();
        row.phraseBeats = bank.GetPhraseLengthBeats();
        row.playBeats = bank.GetPlayLengthBeats();
        row.level = bank.GetPlayLevel();
        row.frames = bank.GetLoadedFrames();
        row.rate = bank.GetSamplingRate();
        row.seconds = row.rate > 0 ? double(row.frames) / row.rate : 0.0;
        rows.push_back(row);
    }
    return rows;
}

void PrintText(const std::string& path, cli::FileKind kind, const FileLayout& layout,
               CTarnAllData* data) {
    std::printf("File:    %s\n", path.c_str());
    std::printf("Type:    %s%s\n", cli::KindName(kind),
                cli::IsPredecessorPath(path) ? " (predecessor model)" : "");
    if (layout.headerRead) {
        std::printf("Header:  magic %s, GLOB %d, PROG %d, SMPL %d, size %u (file has %lld)\n",
                    layout.magic.c_str(), layout.counts[0], layout.counts[1], layout.counts[2],
                    layout.announcedSize, layout.actualSize);
    }
    std::printf("\nChunks:\n  %-4s %10s %10s %6s %6s %8s  %s\n", "ID", "offset", "length", "blocks",
                "stored", "computed", "state");
    for (const ChunkRow& row : layout.chunks) {
        std::printf("  %-4s %10lld %10u %6u %6s %8s  %s\n", row.id.c_str(), row.offset, row.length,
                    row.blocks, row.stored.c_str(), row.computed.c_str(), row.ok ? "OK" : "BROKEN");
    }
    if (!data) {
        return;
    }
    const CTarnParameterNames::Targets targets = CTarnParameterNames::Targets::Of(*data);
    // Sections in the order their first parameter appears in the table.
    std::vector<std::string> groups;
    for (const CTarnParameterName& entry : CTarnParameterNames::All()) {
        const std::string group = Group(entry.name);
        if (Applies(kind, entry) &&
            std::find(groups.begin(), groups.end(), group) == groups.end()) {
            groups.push_back(group);
        }
    }
    for (const std::string& group : groups) {
        std::printf("\n[%s]\n", group.c_str());
        for (const CTarnParameterName& entry : CTarnParameterNames::All()) {
            std::string text;
            if (Group(entry.name) != group || !Applies(kind, entry) ||
                !CTarnParameterNames::Format(targets, entry, &text)) {
                continue;
            }
            std::printf("  %-36s %-14s %s\n", entry.name.c_str(), text.c_str(),
                        entry.label.c_str());
        }
    }
    const std::vector<BankRow> banks = Banks(kind, *data);
    if (!banks.empty()) {
        std::printf("\n[banks]\n  %-4s %7s %7s %7s %5s %8s %6s %7s\n", "bank", "tempo", "phrase",
                    "play", "level", "frames", "rate", "seconds");
        for (const BankRow& b : banks) {
            std::printf("  %-4s %7.2f %7g %7g %5d %8d %6d %7.3f\n", b.name.c_str(), b.tempo,
                        b.phraseBeats, b.playBeats, b.level, b.frames, b.rate, b.seconds);
        }
    }
}

void PrintJson(const std::string& path, cli::FileKind kind, const FileLayout& layout,
               CTarnAllData* data) {
    using cli::JsonString;
    std::printf("{\n  \"file\": %s,\n  \"type\": %s,\n  \"predecessor\": %s,\n",
                JsonString(path).c_str(), JsonString(cli::KindName(kind)).c_str(),
                cli::IsPredecessorPath(path) ? "true" : "false");
    if (layout.headerRead) {
        std::printf("  \"header\": {\"magic\": %s, \"glob\": %d, \"prog\": %d, \"smpl\": %d, "
                    "\"size\": %u, \"fileSize\": %lld},\n",
                    JsonString(layout.magic).c_str(), layout.counts[0], layout.counts[1],
                    layout.counts[2], layout.announcedSize, layout.actualSize);
    }
    std::printf("  \"chunks\": [");
    for (size_t i = 0; i < layout.chunks.size(); ++i) {
        const ChunkRow& row = layout.chunks[i];
        std::printf("%s\n    {\"id\": %s, \"offset\": %lld, \"length\": %u, \"blocks\": %u, "
                    "\"storedChecksum\": %s, \"computedChecksum\": %s, \"ok\": %s}",
                    i ? "," : "", JsonString(row.id).c_str(), row.offset, row.length, row.blocks,
                    JsonString(row.stored).c_str(), JsonString(row.computed).c_str(),
                    row.ok ? "true" : "false");
    }
    std::printf("\n  ]");
    if (data) {
        const CTarnParameterNames::Targets targets = CTarnParameterNames::Targets::Of(*data);
        std::printf(",\n  \"parameters\": {");
        bool first = true;
        for (const CTarnParameterName& entry : CTarnParameterNames::All()) {
            std::string text;
            if (!Applies(kind, entry) || !CTarnParameterNames::Format(targets, entry, &text)) {
                continue;
            }
            int value = 0;
            const bool numeric = CTarnParameterNames::Get(targets, entry, &value);
            std::printf("%s\n    %s: {", first ? "" : ",", JsonString(entry.name).c_str());
            if (numeric) {
                std::printf("\"value\": %d, ", value);
            }
            std::printf("\"text\": %s, \"label\": %s}", JsonString(text).c_str(),
                        JsonString(entry.label).c_str());
            first = false;
        }
        std::printf("\n  }");
        const std::vector<BankRow> banks = Banks(kind, *data);
        if (!banks.empty()) {
            std::printf(",\n  \"banks\": [");
            for (size_t i = 0; i < banks.size(); ++i) {
                const BankRow& b = banks[i];
                std::printf("%s\n    {\"bank\": %s, \"tempo\": %.2f, \"phraseBeats\": %g, "
                            "\"playBeats\": %g, \"level\": %d, \"frames\": %d, \"rate\": %d, "
                            "\"seconds\": %.3f}",
                            i ? "," : "", JsonString(b.name).c_str(), b.tempo, b.phraseBeats,
                            b.playBeats, b.level, b.frames, b.rate, b.seconds);
            }
            std::printf("\n  ]");
        }
    }
    std::printf("\n}\n");
}

int RunInfo(const std::vector<std::string>& args) {
    std::string path;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (path.empty() && (arg.empty() || arg[0] != '-')) {
            path = arg;
        } else {
            std::fprintf(stderr, "usage: talvex-cli info FILE [--json]\n");
            return 2;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: talvex-cli info FILE [--json]\n");
        return 2;
    }
    const cli::FileKind kind = cli::KindOfPath(path);
    if (kind == cli::FileKind::kUnknown) {
        std::fprintf(stderr, "File format not supported\n");
        return 1;
    }
    {
        // Nothing to describe in a file that cannot be opened: only the message.
        CHfcFile file;
        if (!file.Open(path, CHfcFile::kRead | CHfcFile::kBinary)) {
            std::fprintf(stderr, "Failed to open the file.\n");
            return 1;
        }
    }
    const FileLayout layout = ReadLayout(path);
    CTarnAllData data;
    const bool loaded = cli::LoadDataFile(path, kind, data);
    if (json) {
        PrintJson(path, kind, layout, loaded ? &data : nullptr);
    } else {
        PrintText(path, kind, layout, loaded ? &data : nullptr);
    }
    return loaded ? 0 : 1;
}

const CliRegistration registration({"info",
                                    "info FILE [--json]         chunks, checksums and "
                                    "every parameter of an editor file",
                                    &RunInfo});

} // namespace
