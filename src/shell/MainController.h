#pragma once

#include "engine/JobState.h"
#include "shell/ProportionalLayout.h"
#include "ui/CommandHandlers.h"
#include "ui/FrmMain.h"

namespace velquist {

class Platform;

// Owns what lives for the whole run: the job state and the main window with its layout.
// It starts the window up and handles the window's own events; the hide and extract
// commands come from the workflows through AttachCommands.
class MainController {
public:
    explicit MainController(Platform& platform);

    JobState& Job() { return job_; }
    Platform& platform() { return platform_; }
    FrmMain& Window() { return window_; }
    ProportionalLayout& Layout() { return layout_; }

    // Where the workflows plug in: handlers built on Job(), platform() and Window().
    void AttachCommands(CommandHandlers handlers) { window_.SetCommandHandlers(std::move(handlers)); }
    void Show() { window_.show(); }

    void ChkclearBmp_Click();
    void CmdAbout_Click();
    void Cmdexit_Click();
    void Form_Unload();

private:
    void Form_Load();
    void CentreOnScreen();

    Platform& platform_;
    JobState job_;
    FrmMain window_;
    ProportionalLayout layout_{window_};
};

}  // namespace velquist
