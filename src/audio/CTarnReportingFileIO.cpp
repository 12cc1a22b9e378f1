#include "audio/CTarnReportingFileIO.h"

#include "data/CTarnFileException.h"

void CTarnReportingFileIO::OnFileFailure(Failure failure, const std::string& path) {
    CEfFileIO::OnFileFailure(failure, path);
    CTarnFileException(failure == Failure::kFinishWriting ? CTarnFileException::kWriteFailed
                                                          : CTarnFileException::kOpenFailed)
        .Report();
}
