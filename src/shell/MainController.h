// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/JobState.h"
#include "shell/OutputFolderSelection.h"
#include "shell/ProportionalLayout.h"
#include "ui/CommandHandlers.h"
#include "ui/FrmMain.h"
#include "workflows/CarrierSelection.h"
#include "workflows/ExtractCommand.h"
#include "workflows/HideCommand.h"
#include "workflows/MessageSelection.h"

namespace velquist {

class Platform;

// Owns what lives for the whole run: the job state, the main window with its layout, and the
// hide and extract commands wired to the window's buttons. It starts the window up and
// handles the window's own events.
class MainController {
public:
    explicit MainController(Platform& platform);

    JobState& Job() { return job_; }
    FrmMain& Window() { return window_; }
    ProportionalLayout& Layout() { return layout_; }

    void Show() { window_.show(); }
    // The file named on the command line, taken as if chosen in the picture dialog.
    void OpenAtStart(const std::string& path);

    void ChkclearBmp_Click();
    void CmdAbout_Click();
    void Cmdexit_Click();
    void Form_Unload();

private:
    void Form_Load();
    void CentreOnScreen();
    void AttachCommands();

    Platform& platform_;
    JobState job_;
    FrmMain window_;
    ProportionalLayout layout_{window_};
    CarrierSelection carrierSelection_{job_, platform_, window_};
    MessageSelection messageSelection_{job_, platform_, window_};
    HideCommand hideCommand_{job_, platform_, window_};
    ExtractCommand extractCommand_{job_, platform_, window_};
    OutputFolderSelection outputFolderSelection_{job_, platform_, window_};
};

}  // namespace velquist
