#include "ui/dialogs/CTarnBrowseFilterModel.h"

#include <QFileSystemModel>

#include "framework/CHfcFileDialog.h"

CTarnBrowseFilterModel::CTarnBrowseFilterModel(CHfcFileDialog& dialog, QObject* parent)
    : QSortFilterProxyModel(parent), dialog_(dialog) {}

bool CTarnBrowseFilterModel::filterAcceptsRow(int row, const QModelIndex& parent) const {
    auto* model = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!model) {
        return true;
    }
    const QModelIndex index = model->index(row, 0, parent);
    if (model->isDir(index)) {
        return true;
    }
    return dialog_.IsEntryListed(model->filePath(index).toStdString(), false);
}
