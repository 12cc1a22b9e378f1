#pragma once

#include <QSortFilterProxyModel>

class CHfcFileDialog;

// Sits between a file dialog's file system model and its view: every folder is kept, and a file
// only when the dialog's browse filter (its file object's can-read answer) accepts it.
class CTarnBrowseFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit CTarnBrowseFilterModel(CHfcFileDialog& dialog, QObject* parent = nullptr);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    CHfcFileDialog& dialog_;
};
