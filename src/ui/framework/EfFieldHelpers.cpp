#include "ui/framework/EfFieldHelpers.h"

#include <QLineEdit>
#include <QPainter>

namespace ef {

QLineEdit* MakeLineEditor(QWidget* owner, const QRect& area, const std::string& text,
                          int maxLength) {
    auto* editor = new QLineEdit(owner);
    editor->setFrame(false);
    editor->setGeometry(area);
    if (maxLength > 0) {
        editor->setMaxLength(maxLength);
    }
    editor->setText(ToQString(text));
    editor->selectAll();
    editor->installEventFilter(owner);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    return editor;
}

void PaintFieldBox(QPainter& painter, const QRect& box, bool enabled) {
    painter.fillRect(box, enabled ? QColor(0x16, 0x18, 0x1b) : QColor(0x22, 0x22, 0x22));
    painter.setPen(QColor(0x3c, 0x42, 0x48));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
}

QString ToQString(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace ef
