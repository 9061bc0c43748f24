// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/MessageSelection.h"

#include "engine/CarrierHeader.h"
#include "engine/JobState.h"
#include "platform/Platform.h"
#include "workflows/MainView.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

std::optional<std::string> MessageSelection::StorableExtension(const std::string& path) {
    if (path.size() < 4 || path[path.size() - 4] != '.') return std::nullopt;
    std::string extension;
    for (std::size_t i = path.size() - 3; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c > 0x7E) return std::nullopt;
        // A folder separator would send the extraction's output into another folder.
        extension.push_back(SafeFileNameChar(c));
    }
    return extension;
}

bool MessageSelection::Allowed() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kChoosePictureFirst, kStyleInformation,
                         texts::kChoosePictureFirstTitle);
        return false;
    }
    if (job_.HiddenMark != 0) {
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
    auto extension = StorableExtension(name);
    if (!extension) {
        platform_.MsgBox(texts::kBadExtension, kStyleError, texts::kBadExtensionTitle);
        job_.MsgExt = texts::kFallbackExtension;
        return;
    }
    job_.MsgExt = *extension;
}

}  // namespace velquist
