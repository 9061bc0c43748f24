// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <string>

namespace velquist {

// The trash every Linux desktop shares, kept by the rules its file managers follow: a file goes
// to the user's home trash when it is on the same disk, else to the trash at the top of its own
// disk (an administrator's sticky .Trash, or the user's own .Trash-UID beside it), with a
// .trashinfo file that says where it came from and when. It is never copied to another disk,
// and nothing is created but the trash folders and what goes into them.
class DesktopTrash {
public:
    enum class Result {
        Trashed,  // in a trash, where the user can get it back
        NoTrash,  // left in place: no trash on its disk can take it
        Failed,   // left in place: the move failed
    };

    // The home trash folder (it may not exist yet) and the user whose trash folders they are.
    DesktopTrash(std::string homeTrash, uid_t user);
    // The trash of the user running the program: $XDG_DATA_HOME/Trash, by default
    // ~/.local/share/Trash.
    static DesktopTrash OfThisUser();

    Result MoveToTrash(const std::string& path) const;

    // The trash folder in the top folder `top` of a disk: `top`/.Trash/UID when `top`/.Trash is a
    // sticky folder and not a link (an administrator's), else `top`/.Trash-UID; each made where
    // missing and used only when it is a folder of this user's, no link. Empty when neither is.
    std::string TrashAtTop(const std::string& top) const;

private:
    std::string TrashFor(const std::string& path, dev_t device, std::string& named) const;

    std::string homeTrash_;
    uid_t user_;
};

}  // namespace velquist
