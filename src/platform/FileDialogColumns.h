// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIdentityProxyModel>

namespace velquist {

// The file dialogs' size, type and date columns in the program's language, whatever the
// desktop's: the file system model writes sizes and dates in the system's locale and calls
// a folder "Folder" in English.
class FileDialogColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

private:
    enum Column { kName, kSize, kType, kModified };
    QString TypeOf(const QModelIndex& source) const;
};

}  // namespace velquist
