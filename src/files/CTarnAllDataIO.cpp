#include "files/CTarnAllDataIO.h"

#include "data/CTarnAllData.h"
#include "files/TarnBorrowedTarget.h"

int CTarnAllDataIO::Open(CTarnAllData& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return AfterRead(CEfFileIO::Open(parent));
}

int CTarnAllDataIO::Save(CTarnAllData& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::Save(parent);
}

int CTarnAllDataIO::SaveAs(CTarnAllData& target, CEfWindow* parent) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SaveAs(parent);
}

int CTarnAllDataIO::OpenPath(CTarnAllData& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return AfterRead(CEfFileIO::OpenPath(path));
}

int CTarnAllDataIO::SavePath(CTarnAllData& target, const std::string& path) {
    TarnBorrowedTarget borrow(target_, target);
    return CEfFileIO::SavePath(path);
}

std::vector<CHfcFileDialog::Filter> CTarnAllDataIO::OpenFilters() const {
    return {{"TALVEX PRO+ All Data Files (*.t2a)", "*.t2a"},
            {"TALVEX PRO All Data Files (*.txa)", "*.txa"}};
}

bool CTarnAllDataIO::ReadData(CHfcFile& file, const std::string& extension) {
    if (!target_) {
        return false;
    }
    // The one temporary of a load: its banks get their buffers from the file, and the target
    // takes them over only when the whole file loaded.
    CTarnAllData temporary(CTarnSampleSet::Buffers::kNone);
    if (!temporary.LoadFile(file)) {
        return false;
    }
    const bool predecessor = extension == "txa";
    if (predecessor) {
        temporary.ConvertPredecessorPrograms();
    }
    if (!target_->MoveFrom(&temporary)) {
        return false;
    }
    predecessor_ = predecessor;
    return true;
}

bool CTarnAllDataIO::WriteData(CHfcFile& file) {
    return target_ && target_->SaveFile(file);
}

int CTarnAllDataIO::AfterRead(int result) {
    if (result == kSucceeded && predecessor_) {
        Forget();
    }
    return result;
}
