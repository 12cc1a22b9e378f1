#pragma once

#include <QRect>
#include <string>

class QLineEdit;
class QPainter;
class QWidget;

namespace ef {

// The line editor shown over a text while it is typed: filled with `text` selected, focused,
// with `owner` as its event filter.
QLineEdit* MakeLineEditor(QWidget* owner, const QRect& area, const std::string& text,
                          int maxLength);
// The box behind an editable or pop-up field.
void PaintFieldBox(QPainter& painter, const QRect& box, bool enabled);
// Latin-1 text of the editor's bitmap fonts to and from Qt.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

} // namespace ef
