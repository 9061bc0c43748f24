// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/OutputFolderSelection.h"

#include "engine/JobState.h"
#include "engine/format/StoredNames.h"
#include "platform/FolderPath.h"
#include "platform/Platform.h"
#include "shell/ShellTexts.h"
#include "workflows/MainView.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

void OutputFolderSelection::cmdchgOutPath_Click() {
    // A cancel takes the folder again from the label, so only a missing separator changes.
    std::string folder = platform_.BrowseForFolder(texts::kBrowseOutputTitle)
                             .value_or(view_.CaptionOf(Caption::LabOutPath));
    folder = WithSeparator(folder);
    job_.OutPath = folder;
    view_.SetCaption(Caption::LabOutPath, folder);
    if (!job_.HiddenMark) return;
    job_.OutFile = stored_names::OutputFileFor(job_.OutPath, job_.MsgExt);
    view_.SetCaption(Caption::LabCue2, texts::kUnpackTo + job_.OutFile);
}

}  // namespace velquist
