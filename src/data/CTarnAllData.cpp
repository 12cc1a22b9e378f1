#include "data/CTarnAllData.h"

#include <algorithm>

#include "data/CTarnFileException.h"
#include "files/TarnChunk.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CHfcFile.h"
#include "framework/EfTrace.h"

CTarnAllData::CTarnAllData(CTarnSampleSet::Buffers buffers)
    : samples_(new CTarnSampleSet(buffers)), programs_(new CTarnProgramMemorySet),
      global_(new CTarnGlobalData), current_(new CTarnCurrentSettingData) {}

CTarnAllData::~CTarnAllData() {
    global_.reset();
    programs_.reset();
    samples_.reset();
    current_.reset();
}

void CTarnAllData::Initialize() {
    samples_->Initialize();
    programs_->Initialize();
    global_->Initialize();
    current_->Initialize();
    // Emptied sets would leave a bundle that can neither be saved nor sent.
    Reset();
}

void CTarnAllData::Reset() {
    RefillSets();
    samples_->Reset();
    programs_->Reset();
    global_->Reset();
    current_->Reset();
}

void CTarnAllData::RefillSets() {
    while (samples_->Count() < CTarnSampleSet::kBankCount) {
        samples_->AddNew();
    }
    while (programs_->Count() < CTarnProgramMemoryData::kMemoryCount) {
        programs_->AddNew();
    }
}

bool CTarnAllData::LoadFile(CHfcFile& file) {
    const tarn::TarnFileHeader header = tarn::ReadFileHeader(file);
    return LoadChunk(file, header.globCount + header.progCount + header.smplCount);
}

bool CTarnAllData::SaveFile(CHfcFile& file) {
    for (int b = 0; b < samples_->Count(); ++b) {
        if (!samples_->At(b)->ConvertTo48k(true)) {
            // A bank left at 44.1 kHz cannot be stored.
            throw CTarnFileException(CTarnFileException::kWriteFailed);
        }
    }
    if (!tarn::WriteFileHeader(file, 1, CTarnProgramMemoryData::kMemoryCount,
                               CTarnSampleSet::kBankCount, static_cast<uint32_t>(GetFileSize()))) {
        return false;
    }
    return SaveChunk(file);
}

bool CTarnAllData::CopyFrom(const CTarnAllData* other) {
    if (!other) {
        return false;
    }
    samples_->CopyFrom(other->samples_.get());
    return programs_->CopyFrom(other->programs_.get()) && global_->CopyFrom(other->global_.get()) &&
           current_->CopyFrom(other->current_.get());
}

bool CTarnAllData::MoveFrom(CTarnAllData* other) {
    if (!other) {
        return false;
    }
    samples_->MoveFrom(other->samples_.get());
    return programs_->CopyFrom(other->programs_.get()) && global_->CopyFrom(other->global_.get()) &&
           current_->CopyFrom(other->current_.get());
}

void CTarnAllData::ConvertPredecessorPrograms() {
    programs_->SetDefaults();
}

bool CTarnAllData::LoadChunk(CHfcFile& file, int count) {
    count = std::min(count, kAnnouncedChunks);
    std::unique_ptr<CTarnProgressDialog> progress =
        CEfUiServices::Progress().CreateProgressDialog();
    if (progress) {
        progress->SetTotal(count);
        progress->SetText("Loading...");
        progress->SetPosition(0);
    }
    CEfUiServices::Pump().DispatchPending();

    int globals = 0;
    int programs = 0;
    int banks = 0;
    int loaded = 0;
    while (loaded < count) {
        tarn::TarnChunkHeader header;
        if (!tarn::PeekChunkHeader(file, &header)) {
            // The file ends before the chunks its header announces. A plain false would fail the
            // load without telling the user why; this is the short read it is.
            throw CTarnFileException(CTarnFileException::kReadFailed);
        }
        bool ok = true;
        if (header.id == tarn::kChunkSmpl && banks < CTarnSampleSet::kBankCount) {
            // A set emptied through its own Initialize has no item to load into.
            CTarnSampleData* bank = Bank(banks++);
            ok = bank && bank->LoadChunk(file);
        } else if (header.id == tarn::kChunkProg &&
                   programs < CTarnProgramMemoryData::kMemoryCount) {
            CTarnProgramMemoryData* memory = ProgramMemory(programs++);
            ok = memory && memory->LoadChunk(file);
        } else if (header.id == tarn::kChunkGlob && globals < 1) {
            ok = global_->LoadChunk(file);
            ++globals;
        } else {
            // Unknown chunks and chunks beyond a kind's count are stepped over without counting:
            // the header announces only GLOB, PROG and SMPL chunks, so counting others would
            // reject a file that holds everything. Each step moves forward by at least one block,
            // so the walk ends at the file's end.
            tarn::SkipToChunkEnd(file, header, tarn::kChunkHeaderSize);
            continue;
        }
        if (!ok) {
            return false;
        }
        ++loaded;
        if (progress) {
            progress->SetPosition(loaded);
        }
        CEfUiServices::Pump().DispatchPending();
    }
    if (banks < CTarnSampleSet::kBankCount || programs < CTarnProgramMemoryData::kMemoryCount ||
        globals < 1) {
        throw CTarnFileException(CTarnFileException::kNotEnoughData);
    }
    LoadTrailingCurrentSetting(file);
    return true;
}

void CTarnAllData::LoadTrailingCurrentSetting(CHfcFile& file) {
    // The current setting is saved after the announced chunks and would otherwise be lost on every
    // open and save. A file is never refused for it: when it is missing or unreadable the
    // current setting keeps what it held (the defaults in a fresh bundle).
    try {
        tarn::TarnChunkHeader header;
        if (tarn::PeekChunkHeader(file, &header) && header.id == tarn::kChunkProg &&
            header.dataLength == CTarnCurrentSettingData::kImageSize) {
            current_->LoadChunk(file);
        }
    } catch (const CTarnFileException& error) {
        EfTrace("CurrentSetting not read (#%d)", static_cast<int>(error.GetCode()));
    }
}

bool CTarnAllData::SaveChunk(CHfcFile& file) {
    if (!global_->SaveChunk(file)) {
        return false;
    }
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        CTarnProgramMemoryData* memory = ProgramMemory(i);
        if (!memory || !memory->SaveChunk(file)) {
            return false;
        }
    }
    for (int b = 0; b < CTarnSampleSet::kBankCount; ++b) {
        CTarnSampleData* bank = Bank(b);
        if (!bank || !bank->SaveChunk(file)) {
            return false;
        }
    }
    return current_->SaveChunk(file);
}

int CTarnAllData::GetChunksSize() const {
    int size = global_->GetChunkSize();
    EfTrace("Global Size: %d", size);
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        EfTrace("Program %d Size: %d", i, CTarnProgramMemoryData::kChunkSize);
        size += CTarnProgramMemoryData::kChunkSize;
    }
    for (int b = 0; b < samples_->Count(); ++b) {
        size += samples_->At(b)->GetChunkSize();
    }
    EfTrace("CurrentSetting %d Size: %d", 0, current_->GetChunkSize());
    return size + current_->GetChunkSize();
}
