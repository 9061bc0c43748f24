// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPlatform.h"

#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include "platform/DesktopTrash.h"
#include "platform/FileDialogColumns.h"
#include "platform/PlatformTexts.h"

namespace velquist {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Qt's own dialog in every desktop, so that its columns speak the program's language too.
void PrepareFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new FileDialogColumns(&dialog));
}

std::optional<std::string> Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

QMessageBox::Icon IconFor(int style) {
    switch (style) {
        case kStyleError: return QMessageBox::Critical;
        case kStyleWarning: return QMessageBox::Warning;
        case kStyleQuestion: return QMessageBox::Question;
        default: return QMessageBox::Information;
    }
}

}  // namespace

int QtPlatform::MsgBox(const std::string& prompt, int style,
                       const std::optional<std::string>& title, int defaultAnswer) {
    QMessageBox box(IconFor(style), Q(title.value_or(PlatformTexts::kApplicationTitle)),
                    Q(prompt), QMessageBox::NoButton, QApplication::activeWindow());
    // Prompts carry file names, which are shown exactly as they are.
    box.setTextFormat(Qt::PlainText);
    if (style == kStyleQuestion) {
        QPushButton* yes = box.addButton(QString::fromUtf8(PlatformTexts::kYes),
                                         QMessageBox::YesRole);
        QPushButton* no = box.addButton(QString::fromUtf8(PlatformTexts::kNo), QMessageBox::NoRole);
        box.setDefaultButton(defaultAnswer == kAnswerNo ? no : yes);
        box.exec();
        return box.clickedButton() == yes ? kAnswerYes : kAnswerNo;
    }
    QPushButton* ok = box.addButton(QString::fromUtf8(PlatformTexts::kOk),
                                    QMessageBox::AcceptRole);
    box.setEscapeButton(ok);
    box.exec();
    return kAnswerOk;
}

std::string QtPlatform::InputBox(const std::string& prompt, const std::string& title,
                                 bool masked) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(Q(title));
    dialog.setLabelText(Q(prompt));
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    dialog.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setOkButtonText(QString::fromUtf8(PlatformTexts::kOk));
    dialog.setCancelButtonText(QString::fromUtf8(PlatformTexts::kCancel));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().toStdString();
}

std::optional<std::string> QtPlatform::OpenFileDialog(const std::string& title,
                                                      const std::string& pattern,
                                                      const std::string& initialFolder) {
    QFileDialog dialog(QApplication::activeWindow(), Q(title), LocalFolder(initialFolder),
                       DialogFilter(pattern));
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareFileDialog(dialog);
    return Chosen(dialog);
}

std::optional<std::string> QtPlatform::BrowseForFolder(const std::string& title) {
    QFileDialog dialog(QApplication::activeWindow(), Q(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    PrepareFileDialog(dialog);
    const std::optional<std::string> chosen = Chosen(dialog);
    if (!chosen) return std::nullopt;
    return WithoutTrailingSlash(Q(*chosen));
}

bool QtPlatform::ShellOpen(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

// The desktop's own trash, kept by its rules here rather than by Qt's, which makes trash folders
// in the working folder where the user has none and deletes a file on another disk for good.
Removal QtPlatform::MoveToTrash(const std::string& path) {
    switch (DesktopTrash::OfThisUser().MoveToTrash(path)) {
        case DesktopTrash::Result::Trashed: return Removal::Trashed;
        case DesktopTrash::Result::NoTrash: return Removal::NoTrash;
        case DesktopTrash::Result::Failed: break;
    }
    return Removal::Failed;
}

Removal QtPlatform::DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? Removal::Deleted : Removal::Failed;
}

std::string QtPlatform::GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultText) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Q(application));
    settings.beginGroup(Q(section));
    return settings.value(Q(key), Q(defaultText)).toString().toStdString();
}

void QtPlatform::SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& text) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Q(application));
    settings.beginGroup(Q(section));
    settings.setValue(Q(key), Q(text));
}

void QtPlatform::Yield() {
    if (slicer_.Due()) QCoreApplication::processEvents();
}

void QtPlatform::OpenWebAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(Q(address)));
}

void QtPlatform::EndProgram() { QCoreApplication::exit(0); }

std::string QtPlatform::AppFolder() {
    return WithoutTrailingSlash(QCoreApplication::applicationDirPath());
}

std::string QtPlatform::HomeFolder() {
    return WithoutTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
}

std::string QtPlatform::DocumentsFolder() {
    return WithoutTrailingSlash(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

// A bare pattern names itself; a pattern that says what it lists ("图片 (*.bmp *.png)") stands.
QString QtPlatform::DialogFilter(const std::string& pattern) {
    if (pattern.find('(') != std::string::npos) return Q(pattern);
    return Q(pattern) + " (" + Q(pattern) + ")";
}

QString QtPlatform::LocalFolder(const std::string& folder) {
    QString local = Q(folder).replace('\\', '/');
    local.remove(QRegularExpression("^[A-Za-z]:"));
    return local.isEmpty() ? QStringLiteral("/") : local;
}

std::string QtPlatform::WithoutTrailingSlash(const QString& folder) {
    QString trimmed = folder;
    while (trimmed.size() > 1 && trimmed.endsWith('/')) trimmed.chop(1);
    return trimmed.toStdString();
}

}  // namespace velquist
