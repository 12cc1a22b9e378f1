#include <gtest/gtest.h>

#include <array>

#include "data/CEfTarnData.h"
#include "data/CEfTarnDataSet.h"
#include "data/CTarnDataManager.h"
#include "framework/CHfcFile.h"

namespace {

// Counts its destructions, to see which items a set deletes.
class CountedData : public CEfData {
public:
    explicit CountedData(int* deaths) : deaths_(deaths) {}
    ~CountedData() override { ++*deaths_; }

private:
    int* deaths_;
};

class CountedSet : public CEfDataSet {
public:
    int deaths = 0;

protected:
    std::unique_ptr<CEfData> CreateItem() override {
        return std::make_unique<CountedData>(&deaths);
    }
};

} // namespace

TEST(Object, ReferenceCountAndName) {
    auto* object = new CEfObject;
    EXPECT_EQ(object->RefCount(), 1);
    EXPECT_STREQ(object->GetName(), "");
    object->SetName("0123456789012345678901234567890123456789");
    EXPECT_EQ(std::string(object->GetName()).size(), 31u);
    object->AddRef();
    EXPECT_EQ(object->Release(), 1);
    EXPECT_EQ(object->Release(), 0);
}

TEST(Data, AttributesCopyAndAssign) {
    CEfData a;
    CEfData b;
    EXPECT_EQ(a.GetUserData1(), 0);
    EXPECT_EQ(a.GetUserObject(), nullptr);
    EXPECT_FALSE(a.GetModified());
    int marker = 0;
    a.SetUserData1(-5);
    a.SetUserData2(9);
    a.SetUserObject(&marker);
    a.SetModified(true);
    EXPECT_FALSE(b.CopyAttributes(nullptr));
    b.Assign(a);
    EXPECT_EQ(b.GetUserData1(), -5);
    EXPECT_EQ(b.GetUserData2(), 9);
    EXPECT_EQ(b.GetUserObject(), &marker);
    EXPECT_TRUE(b.GetModified());
}

TEST(DataSet, InsertRemoveAndBounds) {
    CountedSet set;
    EXPECT_EQ(set.InsertNew(-1), nullptr);
    EXPECT_EQ(set.Count(), 0);
    CEfData* first = set.AddNew();
    CEfData* appended = set.InsertNew(1);
    EXPECT_EQ(set.At(1), appended);
    CEfData* front = set.InsertNew(0);
    EXPECT_EQ(set.At(0), front);
    EXPECT_EQ(set.At(1), first);
    EXPECT_EQ(set.At(3), nullptr);
    EXPECT_EQ(set.At(-1), nullptr);
    EXPECT_FALSE(set.Remove(set.Count()));
    EXPECT_TRUE(set.Remove(0));
    EXPECT_EQ(set.deaths, 1);
    EXPECT_EQ(set.At(0), first);
    set.Initialize();
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.deaths, 3);
}

TEST(DataSet, RemoveLastItemLeavesEmptySet) {
    CountedSet set;
    set.AddNew();
    EXPECT_TRUE(set.Remove(0));
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.deaths, 1);
}

TEST(DataSet, SwapExchangesOnlyAttributes) {
    CEfDataSet set;
    CEfData* a = set.AddNew();
    CEfData* b = set.AddNew();
    a->SetUserData1(1);
    b->SetUserData1(2);
    b->SetModified(true);
    EXPECT_TRUE(set.Swap(0, 1));
    EXPECT_EQ(set.At(0), a);
    EXPECT_EQ(a->GetUserData1(), 2);
    EXPECT_TRUE(a->GetModified());
    EXPECT_EQ(b->GetUserData1(), 1);
    EXPECT_FALSE(set.Swap(0, 2));
}

TEST(TarnData, DefaultsOfTheDeviceLayer) {
    CEfTarnData item;
    CHfcFile file;
    std::array<uint8_t, 8> block{};
    EXPECT_FALSE(item.LoadFile(file));
    EXPECT_FALSE(item.SaveFile(file));
    EXPECT_EQ(item.GetFileSize(), 0);
    EXPECT_EQ(item.GetBlockDataSize(), 0);
    EXPECT_FALSE(item.GetBlockData(block.data(), 8));
    EXPECT_FALSE(item.SetBlockData(block.data(), 8));
    EXPECT_FALSE(item.IsBlockDataValid(block.data(), 8));
    EXPECT_EQ(item.Reserved2(3), 0);
    EXPECT_EQ(item.Reserved3(3), 0);
    EXPECT_EQ(item.Reserved4(3), 127);
    // 'EFDt': 'E' is the most significant byte.
    EXPECT_EQ(item.GetBlockTag(), 0x45464474u);
    EXPECT_TRUE(item.IsBlockTag(0x45464474));
    // The same characters in written order are not the tag.
    EXPECT_FALSE(item.IsBlockTag(0x74444645));

    CEfTarnDataSet set;
    EXPECT_EQ(set.GetBlockTag(), 0x45464473u);
    EXPECT_EQ(set.Reserved1(), 0);
    EXPECT_FALSE(set.GetBlockData(block.data(), 8));
}

TEST(DataManager, HandlesAndItems) {
    CTarnDataManager manager;
    EXPECT_EQ(manager.Semaphore().Name(), "DataAccessSemaphore");
    manager.Open();
    EXPECT_EQ(manager.NewHandle(), 1);
    EXPECT_EQ(manager.NewHandle(), 2);
    CEfData* item = manager.CreateData(1);
    ASSERT_NE(item, nullptr);
    EXPECT_NE(manager.FindAllData(1), nullptr);
    EXPECT_EQ(manager.CreateData(1), nullptr);
    manager.Open();
    EXPECT_EQ(manager.FindData(1), item);
    EXPECT_FALSE(manager.RemoveHandle(5));
    EXPECT_TRUE(manager.RemoveData(item));
    EXPECT_FALSE(manager.RemoveData(item));
    EXPECT_EQ(manager.FindData(1), nullptr);
    manager.CreateData(3);
    manager.Close();
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_FALSE(manager.IsOpen());
}
