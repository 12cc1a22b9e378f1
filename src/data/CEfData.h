#pragma once

#include <cstdint>

#include "data/CEfObject.h"

// One unit of data with four general attributes that callers use for their own bookkeeping;
// the data classes themselves never read them.
class CEfData : public CEfObject {
public:
    CEfData() = default;
    ~CEfData() override = default;

    // Restores the item's defaults.
    virtual void Initialize() {}
    virtual void Reset() {}
    // Copies the four attributes from other; false when other is null.
    virtual bool CopyAttributes(const CEfData* other);
    virtual int32_t GetUserData2() const { return userData2_; }
    virtual void SetUserData2(int32_t value) { userData2_ = value; }
    virtual int32_t GetUserData1() const { return userData1_; }
    virtual void SetUserData1(int32_t value) { userData1_ = value; }
    virtual void* GetUserObject() const { return userObject_; }
    virtual void SetUserObject(void* object) { userObject_ = object; }
    virtual void SetModified(bool modified) { modified_ = modified; }
    virtual bool GetModified() const { return modified_; }
    virtual CEfData& Assign(const CEfData& other);

private:
    int32_t userData1_ = 0;
    int32_t userData2_ = 0;
    void* userObject_ = nullptr;
    bool modified_ = false;
};
