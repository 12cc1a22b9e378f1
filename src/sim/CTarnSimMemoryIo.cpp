#include "sim/CTarnSimMemoryIo.h"

#include <algorithm>

#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "framework/CEfFileIO.h"
#include "framework/CHfcFile.h"

CTarnSimMemory CTarnSimMemoryIo::Defaults() {
    CTarnAllData all;
    all.Reset();
    return FromAllData(all);
}

CTarnSimMemory CTarnSimMemoryIo::FromAllData(const CTarnAllData& all) {
    CTarnSimMemory memory;
    const uint8_t* global = all.Global().GetNativeData();
    std::copy(global, global + memory.global.size(), memory.global.begin());
    for (int i = 0; i < CTarnSimMemory::kPrograms; ++i) {
        const uint8_t* image = all.ProgramMemory(i)->GetNativeData();
        std::copy(image, image + memory.programs[i].size(), memory.programs[i].begin());
    }
    for (int b = 0; b < CTarnSimMemory::kBanks; ++b) {
        const CTarnSampleData& sample = *all.Bank(b);
        CTarnSimBank& bank = memory.banks[b];
        sample.GetNativeHeader(bank.header.data());
        bank.data.clear();
        if (sample.GetNumSamples() > 0) {
            bank.data.resize(static_cast<size_t>(sample.GetNativeDataSize()));
            sample.GetNativeData(bank.data.data(), static_cast<int>(bank.data.size()));
        }
    }
    return memory;
}

bool CTarnSimMemoryIo::ToAllData(const CTarnSimMemory& memory, CTarnAllData& all) {
    all.Global().SetNativeData(memory.global.data());
    for (int i = 0; i < CTarnSimMemory::kPrograms; ++i) {
        all.ProgramMemory(i)->SetNativeData(memory.programs[i].data());
    }
    for (int b = 0; b < CTarnSimMemory::kBanks; ++b) {
        const CTarnSimBank& bank = memory.banks[b];
        if (!all.Bank(b)->SetNativeData(bank.header.data(),
                                        bank.data.empty() ? nullptr : bank.data.data(),
                                        static_cast<int>(bank.data.size()))) {
            return false;
        }
    }
    return true;
}

bool CTarnSimMemoryIo::Load(const std::string& path, CTarnSimMemory& memory, std::string& error) {
    CHfcFile file;
    if (!file.Open(path, CHfcFile::kRead | CHfcFile::kBinary)) {
        error = "cannot open " + path;
        return false;
    }
    // Banks get their buffers from the file.
    CTarnAllData all(CTarnSampleSet::Buffers::kNone);
    try {
        if (!all.LoadFile(file)) {
            error = "cannot read " + path;
            return false;
        }
    } catch (const CEfException& e) {
        error = path + ": " + (e.GetMessage() ? e.GetMessage() : "unreadable file");
        return false;
    }
    memory = FromAllData(all);
    return true;
}

namespace {

// Writes the all-data image through the editor's safe save: a unique temporary file beside the
// target, renamed over it only when complete, so commands sharing one instrument file never
// write into each other's temporary and a long file name still leaves room for it.
class CSimMemoryWriter : public CEfFileIO {
public:
    CSimMemoryWriter(CTarnAllData& all, std::string& error) : all_(all), error_(error) {}

protected:
    bool Write(CHfcFile& file, const std::string&) override {
        try {
            return all_.SaveFile(file);
        } catch (const CEfException& e) {
            error_ = e.GetMessage() ? e.GetMessage() : "write failed";
            return false;
        }
    }
    int FileModeFlags() const override { return CHfcFile::kBinary; }

private:
    CTarnAllData& all_;
    std::string& error_;
};

} // namespace

bool CTarnSimMemoryIo::Save(const std::string& path, const CTarnSimMemory& memory,
                            std::string& error) {
    CTarnAllData all;
    if (!ToAllData(memory, all)) {
        error = "the instrument's memory holds a bank the editor cannot take";
        return false;
    }
    std::string writeError;
    CSimMemoryWriter writer(all, writeError);
    if (writer.SavePath(path, false) != CEfFileIO::kSucceeded) {
        error = writeError.empty() ? "cannot write " + path : path + ": " + writeError;
        return false;
    }
    return true;
}
