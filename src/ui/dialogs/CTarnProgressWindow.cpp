#include "ui/dialogs/CTarnProgressWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

CTarnProgressWindow::CTarnProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      text_(new QLabel(tr("Processing..."), this)), bar_(new QProgressBar(this)),
      cancel_(new QPushButton(tr("Cancel"), this)) {
    setModal(false);
    setObjectName("ProgressWindow");
    text_->setObjectName("ProgressText");
    bar_->setObjectName("ProgressBar");
    cancel_->setObjectName("Cancel");
    bar_->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    setFixedWidth(360);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (onCancel) {
            onCancel();
        }
    });
}

void CTarnProgressWindow::Show(const QString& title, const QString& text, int percent,
                               bool cancellable) {
    setWindowTitle(title);
    text_->setText(text);
    bar_->setValue(std::clamp(percent, 0, 100));
    cancel_->setEnabled(cancellable);
    if (!isVisible()) {
        show();
        raise();
    }
}

QString CTarnProgressWindow::Text() const {
    return text_->text();
}

int CTarnProgressWindow::Percent() const {
    return bar_->value();
}

bool CTarnProgressWindow::IsCancelEnabled() const {
    return cancel_->isEnabled();
}

void CTarnProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}
