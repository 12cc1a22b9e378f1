#pragma once

#include "data/CEfTarnDataManager.h"
#include "data/CTarnAllData.h"

// The data manager of the editor: its items are complete data sets (CTarnAllData).
class CTarnDataManager : public CEfTarnDataManager {
public:
    // The bundle under a handle; null when the handle is unknown.
    CTarnAllData* FindAllData(int32_t handle) const {
        return static_cast<CTarnAllData*>(FindData(handle));
    }

protected:
    std::unique_ptr<CEfData> NewItem() override { return std::make_unique<CTarnAllData>(); }
};
