// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/MessageSelection.h"

#include "engine/JobState.h"
#include "engine/format/StoredNames.h"
#include "platform/Platform.h"
#include "workflows/MainView.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

bool MessageSelection::Allowed() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kChoosePictureFirst, kStyleInformation,
                         texts::kChoosePictureFirstTitle);
        return false;
    }
    if (job_.HiddenMark) {
        platform_.MsgBox(texts::kPictureHasData, kStyleError, texts::kPictureHasDataTitle);
        return false;
    }
    return true;
}

void MessageSelection::CmdMsgSelect_Click() {
    if (!Allowed()) return;
    if (auto chosen = platform_.OpenFileDialog(texts::kChooseMessageTitle, texts::kAnyPattern,
                                               platform_.HomeFolder()))
        TakeOver(*chosen);
    // A cancelled dialog derives the extension again from the previous choice.
    DeriveExtension();
}

void MessageSelection::Choose(const std::string& path) {
    if (!Allowed()) return;
    TakeOver(path);
    DeriveExtension();
}

void MessageSelection::TakeOver(const std::string& path) {
    job_.MsgPath = path;
    view_.SetCaption(Caption::LabCue2, texts::kMessageFile + job_.MsgPath);
}

void MessageSelection::DeriveExtension() {
    view_.SetCaption(Caption::TxtName, job_.MsgPath);
    std::string name = view_.CaptionOf(Caption::TxtName);
    if (name.empty()) return;
    auto extension = stored_names::StorableExtension(name);
    if (!extension) {
        platform_.MsgBox(texts::kBadExtension, kStyleError, texts::kBadExtensionTitle);
        job_.MsgExt = stored_names::kFallbackExtension;
        return;
    }
    job_.MsgExt = *extension;
}

}  // namespace velquist
