#pragma once

#include <memory>
#include <vector>

#include "data/CEfData.h"

// An ordered list of items of one kind. The set owns its items: removing an item, clearing the
// set and destroying it delete them. Pointers from At and AddNew stay valid until then.
class CEfDataSet : public CEfData {
public:
    CEfDataSet() = default;
    ~CEfDataSet() override = default;

    // Removes every item.
    void Initialize() override;
    void Reset() override {}
    // Null items are ignored; out-of-range indexes give null or false, never an exception.
    virtual CEfData* AddNew();
    // Inserts before index, appends when index >= Count; null for a negative index.
    virtual CEfData* InsertNew(int index);
    virtual bool Remove(int index);
    // Exchanges the user attributes of two items; their data stays where it was.
    virtual bool Swap(int i, int j);
    virtual CEfData* At(int index) const;
    virtual int Count() const { return static_cast<int>(items_.size()); }
    CEfData& Assign(const CEfData& other) override;

protected:
    // The item class of the set; device sets create their own.
    virtual std::unique_ptr<CEfData> CreateItem();

private:
    std::vector<std::unique_ptr<CEfData>> items_;
};
