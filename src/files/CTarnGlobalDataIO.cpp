#include "files/CTarnGlobalDataIO.h"

#include "data/CTarnGlobalData.h"
#include "files/TarnBorrowedTarget.h"

int CTarnGlobalDataIO::Open(CTarnGlobalData& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::Open(parent);
}

int CTarnGlobalDataIO::Save(CTarnGlobalData& target, CEfWindow* parent) {
    return SaveAs(target, parent);
}

int CTarnGlobalDataIO::SaveAs(CTarnGlobalData& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SaveAs(parent);
}

int CTarnGlobalDataIO::OpenPath(CTarnGlobalData& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::OpenPath(path);
}

int CTarnGlobalDataIO::SavePath(CTarnGlobalData& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SavePath(path);
}

std::vector<CHfcFileDialog::Filter> CTarnGlobalDataIO::OpenFilters() const {
    return {{"TALVEX PRO+ Global Data Files (*.t2g)", "*.t2g"},
            {"TALVEX PRO Global Data Files (*.txg)", "*.txg"}};
}

bool CTarnGlobalDataIO::ReadData(CHfcFile& file, const std::string&) {
    if (!target_) {
        return false;
    }
    CTarnGlobalData temporary;
    if (!temporary.LoadFile(file)) {
        return false;
    }
    return target_->CopyFrom(&temporary);
}

bool CTarnGlobalDataIO::WriteData(CHfcFile& file) {
    return target_ && target_->SaveFile(file);
}
