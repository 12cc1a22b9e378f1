#include "data/CTarnProgramMemorySet.h"

#include <algorithm>

#include "data/CTarnFileException.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfTrace.h"

CTarnProgramMemorySet::CTarnProgramMemorySet() {
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        AddNew();
    }
    SetDefaults();
}

void CTarnProgramMemorySet::SetDefaults() {
    const int n = std::min(Count(), CTarnProgramMemoryData::kMemoryCount);
    for (int i = 0; i < n; ++i) {
        CTarnProgramMemoryData* memory = Memory(i);
        memory->Reset();
        memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram),
                             CTarnProgramMemoryData::DefaultProgramOf(i));
        memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamScale),
                             CTarnProgramMemoryData::kDefaultScale);
        memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamKey),
                             CTarnProgramMemoryData::kDefaultKey);
        memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamNoteRange), 0);
    }
}

bool CTarnProgramMemorySet::LoadFile(CHfcFile& file) {
    const tarn::TarnFileHeader header = tarn::ReadFileHeader(file);
    if (header.progCount != CTarnProgramMemoryData::kMemoryCount) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    // LoadChunk keeps the memories read before a failure; the file as a whole loads or not.
    CTarnProgramMemorySet loaded;
    return loaded.LoadChunk(file) && CopyFrom(&loaded);
}

bool CTarnProgramMemorySet::SaveFile(CHfcFile& file) {
    if (!tarn::WriteFileHeader(file, 0, CTarnProgramMemoryData::kMemoryCount, 0,
                               static_cast<uint32_t>(GetFileSize()))) {
        throw CTarnFileException(CTarnFileException::kWriteFailed);
    }
    return SaveChunk(file);
}

bool CTarnProgramMemorySet::CopyFrom(const CTarnProgramMemorySet* other) {
    if (!other) {
        return false;
    }
    // Clearing first would leave nothing to copy from.
    if (other == this) {
        return true;
    }
    Initialize();
    for (int i = 0; i < other->Count(); ++i) {
        static_cast<CTarnProgramMemoryData*>(AddNew())->CopyFrom(other->Memory(i));
    }
    return true;
}

bool CTarnProgramMemorySet::LoadChunk(CHfcFile& file) {
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        CTarnProgramMemoryData* memory = Memory(i);
        bool ok = false;
        try {
            ok = memory && memory->LoadChunk(file);
        } catch (const CTarnFileException&) {
            EfTrace("ProgramMemorySet::LoadChunk Failed to read chunk.");
            throw;
        }
        if (!ok) {
            EfTrace("ProgramMemorySet::LoadChunk Failed to read chunk.");
            return false;
        }
    }
    return true;
}

bool CTarnProgramMemorySet::SaveChunk(CHfcFile& file) {
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        CTarnProgramMemoryData* memory = Memory(i);
        if (!memory || !memory->SaveChunk(file)) {
            return false;
        }
    }
    return true;
}

CTarnProgramMemoryData* CTarnProgramMemorySet::Memory(int index) const {
    return static_cast<CTarnProgramMemoryData*>(At(index));
}

std::unique_ptr<CEfData> CTarnProgramMemorySet::CreateItem() {
    return std::make_unique<CTarnProgramMemoryData>();
}
