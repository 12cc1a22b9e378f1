#pragma once

#include <QString>

// The application icon and one icon per file type, for the desktop's icon theme. Each icon is a
// list of flat shapes, written both as SVG (scalable) and as PNG at the theme's fixed sizes, so
// the two always agree. Writes DIR/scalable/<context>/<name>.svg and
// DIR/<n>x<n>/<context>/<name>.png, the layout of share/icons/hicolor. Returns false on a write
// error (after saying so).
bool WriteIcons(const QString& dir);
