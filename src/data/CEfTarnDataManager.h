#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "data/CEfData.h"
#include "data/CEfDataManager.h"

// Owns data items under integer handles.
class CEfTarnDataManager : public CEfDataManager {
public:
    CEfTarnDataManager() = default;
    ~CEfTarnDataManager() override;

    // Starts the handle counter at 1 with no items; an open manager keeps its items.
    virtual void Open();
    // Deletes every item.
    virtual void Close();
    // Creates an item under a handle; null when the handle is already in use.
    virtual CEfData* CreateData(int32_t handle);
    virtual bool RemoveData(const CEfData* item);
    virtual bool RemoveHandle(int32_t handle);
    virtual void RemoveAll();
    virtual CEfData* FindData(int32_t handle) const;

    // A fresh handle: the counter, then incremented; -1 and 0 are never handed out after a wrap.
    int32_t NewHandle();
    bool IsOpen() const { return open_; }
    int Count() const { return static_cast<int>(items_.size()); }

protected:
    // The item class the manager creates.
    virtual std::unique_ptr<CEfData> NewItem();

private:
    std::map<int32_t, std::unique_ptr<CEfData>> items_;
    int32_t counter_ = 0;
    bool open_ = false;
};
