#pragma once

// Lends a target to a file object for the length of one call.
template <class Data> class TarnBorrowedTarget {
public:
    TarnBorrowedTarget(Data*& slot, Data& target) : slot_(slot) { slot_ = &target; }
    ~TarnBorrowedTarget() { slot_ = nullptr; }
    TarnBorrowedTarget(const TarnBorrowedTarget&) = delete;
    TarnBorrowedTarget& operator=(const TarnBorrowedTarget&) = delete;

private:
    Data*& slot_;
};
