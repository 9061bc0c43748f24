// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/WindowProgress.h"

#include <string>

#include "workflows/MainView.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

const char* WindowProgress::CaptionOf(PassStatus status) {
    switch (status) {
        case PassStatus::VerifyingPassword: return texts::kVerifyingPassword;
        case PassStatus::Embedded: return texts::kEmbedDone;
        case PassStatus::Embedding:
        case PassStatus::Extracting: break;
    }
    return texts::kProgressStatus;
}

void WindowProgress::Status(PassStatus status) { view_.SetCaption(Caption::Labtmp, CaptionOf(status)); }

void WindowProgress::Percent(int percent) {
    view_.SetCaption(Caption::labfinish, std::to_string(percent) + "%");
}

}  // namespace velquist
