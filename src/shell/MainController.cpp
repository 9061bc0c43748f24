// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MainController.h"

#include <QCheckBox>
#include <QScreen>
#include <QTimer>

#include "platform/FolderPath.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "shell/CentreOffset.h"
#include "shell/DroppedFiles.h"
#include "shell/ExitAnimation.h"
#include "shell/KeptOption.h"
#include "shell/StartOutputFolder.h"
#include "ui/FrmAbout.h"
#include "ui/Twips.h"

namespace velquist {

MainController::MainController(Platform& platform) : platform_(platform) {
    window_.SetWindowHandlers(WindowHandlers{
        .ChkclearBmp_Click = [this] { ChkclearBmp_Click(); },
        .CmdAbout_Click = [this] { CmdAbout_Click(); },
        .Cmdexit_Click = [this] { Cmdexit_Click(); },
        .Form_Unload = [this] { Form_Unload(); },
        .Form_Resize = [this] { layout_.Form_Resize(); },
        // Only now does the window system tell the frame's size, by which it is centred.
        .Form_Framed = [this] { CentreOnScreen(); },
    });
    AttachCommands();
    Form_Load();
}

void MainController::AttachCommands() {
    window_.SetCommandHandlers(CommandHandlers{
        .cmdopen_Click = [this] { carrierSelection_.cmdopen_Click(); },
        .CmdMsgSelect_Click = [this] { messageSelection_.CmdMsgSelect_Click(); },
        // The capacity hint is the safe size only while all three options are ticked.
        .ChkPassword_Click =
            [this] {
                hideCommand_.ChkPassword_Click();
                carrierSelection_.RefreshCapacity();
            },
        .ChkEncrypt_Click =
            [this] {
                hideCommand_.ChkEncrypt_Click();
                carrierSelection_.RefreshCapacity();
            },
        .ChkStealth_Click = [this] { carrierSelection_.RefreshCapacity(); },
        .cmdadd_Click = [this] { hideCommand_.cmdadd_Click(); },
        .cmdout_Click = [this] { extractCommand_.cmdout_Click(); },
        .cmdchgOutPath_Click = [this] { outputFolderSelection_.cmdchgOutPath_Click(); },
        .Form_DragDrop =
            [this](const std::vector<std::string>& paths) {
                TakeDroppedFiles(paths, carrierSelection_, messageSelection_);
            },
    });
}

void MainController::Form_Load() {
    const std::string folder = StartOutputFolder(platform_);
    job_.OutPath = WithSeparator(folder);
    job_.HiddenMark = false;
    CentreOnScreen();
    window_.ChkclearBmp().setChecked(kClearBmpOption.Read(platform_) != 0);
    window_.ChkEncrypt().setChecked(kEncryptOption.Read(platform_) != 0);
    window_.ChkStealth().setChecked(kStealthOption.Read(platform_) != 0);
    job_.ClearBmp = window_.ChkclearBmp().isChecked();
    window_.SetCaption(Caption::LabOutPath, folder);
    layout_.Capture();
}

void MainController::CentreOnScreen() {
    const QRect screen = window_.screen()->geometry();
    const double px = Twips::PerPixelX(window_);
    const double py = Twips::PerPixelY(window_);
    const QSizeF outer = Twips::OuterSize(window_);
    const std::int32_t left = CentreOffset(screen.width() * px, outer.width());
    const std::int32_t top = CentreOffset(screen.height() * py, outer.height());
    window_.move(screen.left() + Twips::ToPixels(left, px), screen.top() + Twips::ToPixels(top, py));
}

void MainController::OpenAtStart(const std::string& path) { carrierSelection_.Choose(path); }

void MainController::ChkclearBmp_Click() {
    job_.ClearBmp = window_.ChkclearBmp().isChecked();
}

void MainController::CmdAbout_Click() {
    FrmAbout about(platform_, &window_);
    about.exec();
}

void MainController::Cmdexit_Click() {
    platform_.Files().CloseAllQuietly();
    kClearBmpOption.Write(platform_, window_.ChkclearBmp().isChecked() ? 1 : 0);
    kEncryptOption.Write(platform_, window_.ChkEncrypt().isChecked() ? 1 : 0);
    kStealthOption.Write(platform_, window_.ChkStealth().isChecked() ? 1 : 0);
    window_.SetClosing();
    window_.Timer1().stop();
    ExitAnimation::Run(window_, platform_);
    platform_.EndProgram();
}

void MainController::Form_Unload() { platform_.Files().CloseAllQuietly(); }

}  // namespace velquist
