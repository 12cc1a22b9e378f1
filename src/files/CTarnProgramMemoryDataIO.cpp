#include "files/CTarnProgramMemoryDataIO.h"

#include "data/CTarnProgramMemorySet.h"
#include "files/TarnBorrowedTarget.h"

int CTarnProgramMemoryDataIO::Open(CTarnProgramMemorySet& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::Open(parent);
}

int CTarnProgramMemoryDataIO::Save(CTarnProgramMemorySet& target, CEfWindow* parent) {
    return SaveAs(target, parent);
}

int CTarnProgramMemoryDataIO::SaveAs(CTarnProgramMemorySet& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SaveAs(parent);
}

int CTarnProgramMemoryDataIO::OpenPath(CTarnProgramMemorySet& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::OpenPath(path);
}

int CTarnProgramMemoryDataIO::SavePath(CTarnProgramMemorySet& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SavePath(path);
}

std::vector<CHfcFileDialog::Filter> CTarnProgramMemoryDataIO::OpenFilters() const {
    return {{"TALVEX PRO+ Program Memory Data Files (*.t2p)", "*.t2p"}};
}

bool CTarnProgramMemoryDataIO::ReadData(CHfcFile& file, const std::string&) {
    if (!target_) {
        return false;
    }
    CTarnProgramMemorySet temporary;
    if (!temporary.LoadFile(file)) {
        return false;
    }
    return target_->CopyFrom(&temporary);
}

bool CTarnProgramMemoryDataIO::WriteData(CHfcFile& file) {
    return target_ && target_->SaveFile(file);
}
