// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialogColumns.h"

#include <QFileSystemModel>
#include <QLocale>
#include <QRegularExpression>

#include "platform/PlatformTexts.h"

namespace velquist {

QVariant FileDialogColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() == kName)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QFileInfo info = files->fileInfo(source);
    // The default locale is the program's, not the desktop's.
    const QLocale locale;
    switch (index.column()) {
        case kSize:
            if (files->isDir(source)) return QString();
            return locale.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case kType: return TypeOf(source);
        case kModified: return locale.toString(info.lastModified(), QLocale::ShortFormat);
        default: return QIdentityProxyModel::data(index, role);
    }
}

QString FileDialogColumns::TypeOf(const QModelIndex& source) const {
    const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
    if (files->isDir(source)) return QString::fromUtf8(PlatformTexts::kFolderType);
    // The model names a file's type in the default locale where the desktop has a translation.
    const QString named = files->type(source);
    static const QRegularExpression kLatin(QStringLiteral("[A-Za-z]"));
    if (!named.isEmpty() && !named.contains(kLatin)) return named;
    const QString suffix = files->fileInfo(source).suffix().toUpper();
    const QString file = QString::fromUtf8(PlatformTexts::kFileType);
    return suffix.isEmpty() ? file : suffix + QLatin1Char(' ') + file;
}

}  // namespace velquist
