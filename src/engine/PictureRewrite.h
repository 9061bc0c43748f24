// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/FileService.h"

namespace velquist {

// A picture that cannot be changed in place, written anew beside itself and put in the place
// of the very file that was read. The new file is private while it is written and takes the
// old one's owner, group, access control list, extended attributes and permission bits
// (never set-user-ID, set-group-ID or sticky) before it takes its place. It is refused,
// with the old picture untouched and nothing left beside it, when the picture belongs to a
// user or group the new file cannot keep, has other names (hard links) that would keep the old
// picture and the user did not allow that, or when its name no longer leads to it.
class PictureRewrite {
public:
    // The rewrite of the picture open as `picture` under `name` (a link or the file itself),
    // to be written as `number`. Throws FileError: OtherLinks, OwnerNotKept, or a failure to
    // create the file.
    PictureRewrite(FileService& files, int number, int picture, const std::string& name,
                   bool allowOtherLinks);
    ~PictureRewrite();
    PictureRewrite(const PictureRewrite&) = delete;
    PictureRewrite& operator=(const PictureRewrite&) = delete;

    // Flushes the new file and puts it in the old one's place with what the old one had, then
    // makes that durable. Returns what the picture now is. Throws FileError (NotFound
    // when the picture is gone, Replaced when another file has its name, AclNotKept or
    // AttributesNotKept among them); the new file is gone then and the old one untouched.
    PathFacts Commit();

private:
    void CheckLinks() const;

    FileService& files_;
    int number_;
    int picture_;
    std::string name_;
    std::string file_;
    bool allowOtherLinks_;
};

}  // namespace velquist
