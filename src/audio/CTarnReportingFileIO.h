#pragma once

#include <string>

#include "framework/CEfFileIO.h"

// A file object started by the user for one import or export: when the chosen file cannot be
// opened, or a finished export cannot be put in place, the user is told so (codes 0 and 3)
// rather than the command silently doing nothing.
class CTarnReportingFileIO : public CEfFileIO {
protected:
    void OnFileFailure(Failure failure, const std::string& path) override;
};
