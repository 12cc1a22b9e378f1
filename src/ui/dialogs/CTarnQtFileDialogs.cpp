#include "ui/dialogs/CTarnQtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>

#include "framework/CHfcFileDialog.h"
#include "ui/dialogs/CTarnBrowseFilterModel.h"

namespace {

QString lastFolder;

class CTarnQtFileDialog : public CHfcFileDialog {
public:
    using CHfcFileDialog::CHfcFileDialog;

protected:
    ShowResult Show(std::string& chosenPath) override {
        QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(GetTitle()));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setNameFilters(CTarnQtFileDialogs::NameFilters(*this));
        if (!lastFolder.isEmpty()) {
            dialog.setDirectory(lastFolder);
        }
        if (GetKind() == kOpen) {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setProxyModel(new CTarnBrowseFilterModel(*this, &dialog));
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setDefaultSuffix(QString::fromStdString(GetDefaultExtension()));
            dialog.selectFile(QString::fromStdString(GetInitialFileName()));
        }
        const int answer = dialog.exec();
        const QStringList files = dialog.selectedFiles();
        if (answer != QDialog::Accepted || files.isEmpty()) {
            return ShowResult::kCancelled;
        }
        lastFolder = dialog.directory().absolutePath();
        chosenPath = files.first().toStdString();
        return ShowResult::kChosen;
    }
};

} // namespace

std::unique_ptr<CHfcFileDialog> CTarnQtFileDialogs::CreateOpenFileDialog() {
    return std::make_unique<CTarnQtFileDialog>(CHfcFileDialog::kOpen);
}

std::unique_ptr<CHfcFileDialog> CTarnQtFileDialogs::CreateSaveFileDialog() {
    return std::make_unique<CTarnQtFileDialog>(CHfcFileDialog::kSave);
}

QString CTarnQtFileDialogs::NameFilter(const CHfcFileDialog::Filter& filter) {
    QString description = QString::fromStdString(filter.description).trimmed();
    // The description usually repeats its patterns in brackets; Qt reads them from there.
    const int bracket = description.lastIndexOf(" (");
    if (bracket > 0 && description.endsWith(')')) {
        description.truncate(bracket);
    }
    QStringList patterns;
    for (const QString& pattern :
         QString::fromStdString(filter.pattern).split(';', Qt::SkipEmptyParts)) {
        patterns << (pattern.trimmed() == "*.*" ? QStringLiteral("*") : pattern.trimmed());
    }
    if (patterns.isEmpty()) {
        patterns << QStringLiteral("*");
    }
    return description + " (" + patterns.join(' ') + ")";
}

QStringList CTarnQtFileDialogs::NameFilters(const CHfcFileDialog& dialog) {
    QStringList filters;
    for (const CHfcFileDialog::Filter& filter : dialog.GetFilters()) {
        filters << NameFilter(filter);
    }
    return filters;
}
