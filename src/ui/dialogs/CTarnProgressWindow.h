#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The modeless progress window: a text line, a bar in percent and a Cancel button. The close
// box and Escape are refused; only Cancel (when enabled) does anything, through the callback.
class CTarnProgressWindow : public QDialog {
    Q_OBJECT

public:
    explicit CTarnProgressWindow(QWidget* parent = nullptr);

    void Show(const QString& title, const QString& text, int percent, bool cancellable);
    QString Text() const;
    int Percent() const;
    bool IsCancelEnabled() const;
    QPushButton* CancelButton() const { return cancel_; }

    std::function<void()> onCancel;

public slots:
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};
