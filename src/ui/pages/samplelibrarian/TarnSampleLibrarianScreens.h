#pragma once

#include <QString>

class CTarnHost;
class QWidget;

namespace tarn {

// Renders the Sample Librarian's documented states to PNG files for talvex-screenshots: a full
// stereo loop in bank A ("sample-librarian-loop") and the same loop while it is previewed, with
// the preview button lit and the meters showing ("sample-librarian-preview"). The page must be
// the one shown; `window` is grabbed. The data set is left as it was found. False when a file
// could not be written.
bool SaveSampleLibrarianStates(CTarnHost& host, QWidget& window, const QString& folder,
                               const QString& suffix);

} // namespace tarn
