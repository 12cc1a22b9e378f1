#include "app/CTarnResourceManager.h"

#include <atomic>
#include <cstring>

#include "framework/CEfEmbeddedFiles.h"
#include "framework/CEfSingletonSlot.h"
#include "framework/EfPngDecoder.h"
#include "framework/EfTrace.h"

namespace {

// Never destroyed: a singleton still held at exit must not outlive the slots it releases.
CEfSingletonSlot<CTarnResourceManager>& Slot() {
    static auto* slot = new CEfSingletonSlot<CTarnResourceManager>();
    return *slot;
}

std::atomic<int> preferredScale{1};

// Takes the manager's semaphore for a scope.
class CSemaphoreHold {
public:
    explicit CSemaphoreHold(CEfSemaphore& semaphore) : semaphore_(semaphore) { semaphore_.Wait(); }
    ~CSemaphoreHold() { semaphore_.Release(); }
    CSemaphoreHold(const CSemaphoreHold&) = delete;
    CSemaphoreHold& operator=(const CSemaphoreHold&) = delete;

private:
    CEfSemaphore& semaphore_;
};

std::string FileNameOf(const std::string& name, int scale) {
    return scale == 2 ? name + "@2x.png" : name + ".png";
}

} // namespace

const std::array<const char*, CTarnResourceManager::kImageCount>&
CTarnResourceManager::ImageNames() {
    static const std::array<const char*, kImageCount> names = {
        "BG_About",
        "BG_SampleLibrarian",
        "BG_ExtCtrlEdit",
        "BG_ExtCtrlParamEdit",
        "BG_ProgramMemoryEdit",
        "BG_GlobalEditCommon",
        "BG_GlobalEdit",
        "BG_GlobalCcmapEdit",
        "BG_MainToolBar",
        "ButtonBankSelectA",
        "ButtonBankSelectB",
        "ButtonBankSelectC",
        "ButtonBankSelectD",
        "ButtonDownSmall",
        "ButtonUpSmall",
        "ButtonProgramReceive",
        "ButtonProgramTransmit",
        "ButtonProgramLoad",
        "ButtonProgramSave",
        "ButtonGlobalReceive",
        "ButtonGlobalTransmit",
        "ButtonGlobalLoad",
        "ButtonGlobalSave",
        "ButtonSampleExport",
        "ButtonSampleImport",
        "ButtonSamplePreview",
        "ButtonSampleReceive",
        "ButtonSampleWrite",
        "ButtonSampleTap",
        "ButtonTabGlobalExtCtrl",
        "ButtonTabGlobalGlobal",
        "ButtonTabGlobalCcmap",
        "ButtonTabModeSampleLibrarian",
        "ButtonTabModeProgramMemory",
        "ButtonTabModeGlobal",
        "ButtonMemory1",
        "ButtonMemory2",
        "ButtonMemory3",
        "ButtonMemory4",
        "ButtonMemory5",
        "ButtonMemory6",
        "ButtonMemory7",
        "ButtonMemory8",
        "ButtonCheckBox",
        "ButtonCcNumber",
        "ButtonCcNumberPad",
        "ButtonAllOpen",
        "ButtonAllSave",
        "ButtonAllReceive",
        "ButtonAllTransmit",
        "BitmapListPadPattern",
        "VuMeterHorizontal",
        "TrebuchetMS12P",
        "TrebuchetMS13P",
        "TrebuchetMS12with7Seg",
        "WaveGraphImage",
        "ButtonNo",
    };
    return names;
}

CTarnResourceManager* CTarnResourceManager::Acquire() {
    return Slot().Acquire([]() -> std::unique_ptr<CTarnResourceManager> {
        std::unique_ptr<CTarnResourceManager> manager(new CTarnResourceManager(preferredScale));
        if (!manager->Initialize()) {
            return nullptr;
        }
        return manager;
    });
}

void CTarnResourceManager::Release() {
    Slot().Release();
}

CTarnResourceManager* CTarnResourceManager::Instance() {
    return Slot().Instance();
}

int CTarnResourceManager::RefCount() {
    return Slot().RefCount();
}

void CTarnResourceManager::SetPreferredScale(int scale) {
    preferredScale = scale >= 2 ? 2 : 1;
}

CTarnResourceManager::CTarnResourceManager(int scale) : scale_(scale) {}

bool CTarnResourceManager::Initialize() {
    const auto& names = ImageNames();
    size_t linked = 0;
    for (size_t i = 0; i < kImageCount; ++i) {
        std::strncpy(names_[i].data(), names[i], kNameFieldSize - 1);
        index_.emplace(names_[i].data(), i);
        if (CEfEmbeddedFiles::Find(FileNameOf(names[i], 1))) {
            ++linked;
        }
    }
    // A program built without its pictures cannot draw a window; single missing pictures only
    // fail their own lookups.
    if (linked == 0) {
        EfTrace("CTarnResourceManager::Create - No picture resources are linked.");
        return false;
    }
    return true;
}

const CEfImage* CTarnResourceManager::GetImage(const std::string& name) {
    auto found = index_.find(name);
    if (found == index_.end()) {
        EfTrace("Failed to get bitmap (%s)", name.c_str());
        return nullptr;
    }
    const size_t i = found->second;
    CSemaphoreHold hold(lock_);
    if (loaded_[i]) {
        return &images_[i];
    }
    if (!failed_[i]) {
        // The 2x picture when wanted, else the 1x one (drawn scaled by the widgets).
        for (int scale = scale_; scale >= 1 && !loaded_[i]; --scale) {
            if (const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find(FileNameOf(name, scale))) {
                loaded_[i] = EfDecodePng(file->data, file->size, scale, images_[i]);
            }
        }
        failed_[i] = !loaded_[i];
    }
    if (!loaded_[i]) {
        EfTrace("Failed to get bitmap (%s)", name.c_str());
        return nullptr;
    }
    return &images_[i];
}
