#pragma once

#include "data/CEfObject.h"
#include "data/CEfTarnData.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/CTarnSampleSet.h"
#include "data/ParamAddress.h"

// Everything the instrument stores: the four loop-recorder banks, the global data, the eight
// program memories and the current setting. Loads and receives fill a temporary bundle that is
// moved in on success, so a failure leaves the edited bundle as it was.
class CTarnAllData : public CEfTarnData {
public:
    // Chunks a complete all-data file announces: 1 GLOB, 8 PROG, 4 SMPL.
    static constexpr int kAnnouncedChunks = 13;

    CTarnAllData() : CTarnAllData(CTarnSampleSet::Buffers::kSilent) {}
    // With Buffers::kNone the banks have no buffer yet: for a temporary that a load fills.
    explicit CTarnAllData(CTarnSampleSet::Buffers buffers);
    ~CTarnAllData() override;

    // Restores the defaults of every member: four silent banks, eight default memories, the
    // factory global image and the default current setting.
    void Initialize() override;
    void Reset() override;
    // An all-data file (".t2a", also the predecessor's ".txa"), read straight into this bundle:
    // members read before a failure keep what they read, so callers load into a temporary.
    bool LoadFile(CHfcFile& file) override;
    // Converts every bank to 48 kHz first (code 3 when that fails); false when the file header
    // was written short.
    bool SaveFile(CHfcFile& file) override;
    int GetFileSize() const override { return GetChunksSize() + 512; }

    // Copies every member; false at the first member that refuses.
    virtual bool CopyFrom(const CTarnAllData* other);
    // As CopyFrom, but the banks take other's buffers instead of copying them (other's banks are
    // left without audio): how a loaded or received temporary replaces the edited data.
    bool MoveFrom(CTarnAllData* other);
    // The predecessor's program memories do not describe this instrument's programs.
    virtual void ConvertPredecessorPrograms();
    // Loads count chunks (at most 13), matched by ID: the n-th PROG chunk goes to memory n, the
    // n-th SMPL chunk to bank n; other chunks are skipped. A current-setting chunk right after
    // them is read too when it can be; otherwise the current setting stays as it was. Throws
    // code 2 when the file ends early, 13 when the chunks did not bring every member. Members read
    // before a failure keep what they read.
    virtual bool LoadChunk(CHfcFile& file, int count);
    // GLOB, PROG x 8, SMPL x 4, then the current setting as a further PROG chunk.
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunksSize() const;
    // The bundle itself has no parameters.
    virtual void SetParameter(ParamAddress, int) {}
    virtual int GetParameter(ParamAddress) const { return 0; }

    CTarnSampleSet& Samples() const { return *samples_; }
    CTarnSampleData* Bank(int index) const { return samples_->At(index); }
    CTarnProgramMemorySet& Programs() const { return *programs_; }
    CTarnProgramMemoryData* ProgramMemory(int index) const { return programs_->Memory(index); }
    CTarnGlobalData& Global() const { return *global_; }
    CTarnCurrentSettingData& CurrentSetting() const { return *current_; }

private:
    // Gives the sets their full number of items again after they were emptied; Reset then gives
    // the new items their defaults.
    void RefillSets();
    // Reads the current setting when a PROG chunk of its size follows the announced chunks.
    void LoadTrailingCurrentSetting(CHfcFile& file);

    CEfObjectPtr<CTarnSampleSet> samples_;
    CEfObjectPtr<CTarnProgramMemorySet> programs_;
    CEfObjectPtr<CTarnGlobalData> global_;
    CEfObjectPtr<CTarnCurrentSettingData> current_;
};
