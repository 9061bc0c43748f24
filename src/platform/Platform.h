// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/EventPump.h"

namespace velquist {

class NumberedFiles;

// Message-box styles as the window system numbers them.
enum BoxStyle : int {
    kStyleError = 16,
    kStyleWarning = 48,
    kStyleInformation = 64,
    kStyleQuestion = 36,  // Yes and No
};

// The answer a question box gives for Yes; anything else means No.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerOk = 1;

// What became of a file the user asked to delete.
enum class Removal {
    Trashed,  // moved to the desktop's trash, where the user can get it back
    NoTrash,  // left in place: no trash can take it (only deleting it for good would)
    Deleted,  // deleted for good
    Failed,   // left in place: it could not be moved or deleted
};

// Every call the program makes out of its own logic goes through this interface, so the
// engine and the handlers run the same under the window, the command line and the tests.
// All texts are UTF-8.
class Platform : public EventPump {
public:
    virtual ~Platform() = default;

    // Modal box; a box without a title shows the application title. Returns the answer. A
    // question's Return key gives `defaultAnswer` (Yes or No).
    virtual int MsgBox(const std::string& prompt, int style,
                       const std::optional<std::string>& title = std::nullopt,
                       int defaultAnswer = kAnswerYes) = 0;
    // Modal input box; cancel returns an empty text, as does an empty entry.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 bool masked) = 0;
    // The chosen path, or nothing when the user cancels; the dialog starts in initialFolder.
    virtual std::optional<std::string> OpenFileDialog(const std::string& title,
                                                      const std::string& pattern,
                                                      const std::string& initialFolder) = 0;
    // The chosen folder without a trailing separator (except at the root), or nothing.
    virtual std::optional<std::string> BrowseForFolder(const std::string& title) = 0;
    // Opens a file in the program associated with it; false when no program took it.
    virtual bool ShellOpen(const std::string& path) = 0;
    // Moves the file to the desktop's trash: Trashed, or NoTrash where no trash can take it,
    // or Failed.
    virtual Removal MoveToTrash(const std::string& path) = 0;
    // Deletes the file for good: Deleted or Failed.
    virtual Removal DeleteFile(const std::string& path) = 0;
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultText) = 0;
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& text) = 0;
    // Lets pending window events run; cheap enough to call once per group.
    void Yield() override = 0;
    virtual void OpenWebAddress(const std::string& address) = 0;
    virtual void EndProgram() = 0;
    // The program's own folder, without a trailing separator except at the root.
    virtual std::string AppFolder() = 0;
    // The user's home folder, where the file dialogs start.
    virtual std::string HomeFolder() = 0;
    // The user's documents folder (it may not exist yet).
    virtual std::string DocumentsFolder() = 0;
    virtual NumberedFiles& Files() = 0;
};

}  // namespace velquist
