// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/FileError.h"

namespace velquist {

// What stands at a path, as the output checks need to know it.
struct PathFacts {
    enum class Kind { File, Link, Folder, Other };
    Kind kind = Kind::Other;
    dev_t device = 0;
    ino_t inode = 0;
    // When the inode last changed, in nanoseconds: a file deleted and made anew may get the
    // same inode number, never the same change time.
    std::int64_t changed = 0;
    // Permission bits and file type bits as the system gives them, and the owner.
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    // How many names (hard links) the file has.
    nlink_t links = 0;

    // The very same file, unchanged since these facts were taken.
    bool SameAs(const PathFacts& other) const {
        return device == other.device && inode == other.inode && changed == other.changed;
    }
};

// The files a pass works on, addressed by small numbers (engine/FileNumbers.h names them: the
// carrier, the message or the output, a picture written anew) and 0-based byte offsets. Only regular files are ever opened. Every failure throws
// FileError naming the operation, the path, the file number and the cause; a read past the
// end is an error, never zero-filled data. Operations on a path alone (rename, remove, folder
// sync, access, looking at what stands there) go through here too, so that the engine sees the
// outside world only through this interface and one fault hook reaches every step.
class FileService {
public:
    enum class LockKind { Shared, Exclusive };

    virtual ~FileService() = default;

    // Reading and writing an existing file; a missing file is an error, never created.
    virtual void OpenExisting(int number, const std::string& path) = 0;
    // Reading only; nothing is ever created or written.
    virtual void OpenReadOnly(int number, const std::string& path) = 0;
    // Reading and writing where the user may write the file, reading only where not (a later
    // write then fails as permission denied); never created.
    virtual void OpenWritableIfAllowed(int number, const std::string& path) = 0;
    // Creates a new private (0600) file in `folder` and opens it as `number`. Where the file
    // system allows it the file has no name at all until CommitTemporary, so that a crash or a
    // power cut leaves nothing behind; otherwise it gets a unique hidden name, which this
    // returns (empty for an unnamed file) and which is removed if a signal ends the process.
    virtual std::string CreateTemporary(int number, const std::string& folder) = 0;
    // Gives the temporary file open as `number` the name `finalPath`, replacing only what
    // `agreed` says stood there when the user was asked: nothing (the name must still be
    // free) or that very file (the same device and inode). Whatever else stands there now stays,
    // and the commit fails as Changed. The number stays open.
    virtual void CommitTemporary(int number, const std::string& finalPath,
                                 const std::optional<PathFacts>& agreed) = 0;
    // Creates the private (0600) file that is to take the place of `file` (the file itself, not
    // a link to it), which is open as `original`; opens it as `number`, locks it, so that
    // whatever the name leads to while it replaces the file is locked by this process, and gives
    // it the original's owner and group, or fails as OwnerNotKept where the system does not let
    // this user (only root gives files away; others give them only their own groups). Where the
    // file system allows it the new file has no name until CommitReplacement; otherwise, and
    // from then until the old file is gone, it has a hidden name made from the file's own beside
    // it, which a signal removes and which whoever next takes the file's lock finds and removes
    // (see Lock). Closed before it was committed, it is removed.
    virtual void CreateReplacement(int number, int original, const std::string& file) = 0;
    // Puts the replacement open as `number` in the place of the file open as `original`, but
    // only while `name` (links followed) still leads to that very file: otherwise NotFound when
    // nothing stands there any more, Replaced when another file does, and nothing changes.
    // Just before, and still private until then, the replacement takes the original's extended
    // attributes, its access control list (or fails as AclNotKept) and the user's own ones (or
    // AttributesNotKept) among them, the system's security labels only where the system lets
    // this user set them; then its permission bits (never set-user-ID, set-group-ID or sticky).
    // The number stays open.
    virtual void CommitReplacement(int number, int original, const std::string& name) = 0;
    // Takes the file's advisory lock without waiting; another holder makes this fail as Busy.
    // Holding it, removes what a replacement of the file left beside it when its process was
    // killed: a replacement exists only while its process holds the file's lock, so one found
    // now is no one's.
    virtual void Lock(int number, LockKind kind) = 0;
    virtual bool IsOpen(int number) const = 0;
    // What the file open as `number` is (its device and inode), wherever its name leads now.
    virtual PathFacts FactsOf(int number) = 0;

    // Fills the whole block from `offset` on, or throws; a negative offset is refused.
    virtual void ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block) = 0;
    virtual void WriteAt(int number, std::int64_t offset, std::span<const std::uint8_t> block) = 0;
    virtual std::int64_t Length(int number) = 0;
    // Pushes written data to the disk.
    virtual void Flush(int number) = 0;
    virtual void SetPermissions(int number, mode_t mode) = 0;
    virtual void Close(int number) = 0;
    // Closes without reporting a failure (used on paths already failing).
    virtual void CloseQuietly(int number) noexcept = 0;
    virtual void CloseAllQuietly() noexcept = 0;

    // Remembers `bytes` to be written at `offset` of the file open as `number` if a signal ends
    // the process before DisarmRetractions: how an unfinished hide takes back what must not stay.
    virtual void ArmRetraction(int number, std::int64_t offset,
                               std::span<const std::uint8_t> bytes) = 0;
    virtual void DisarmRetractions() noexcept = 0;

    virtual void Rename(const std::string& from, const std::string& to) = 0;
    // Removes a file that must not stay behind; never fails, never reports.
    virtual void RemoveQuietly(const std::string& path) noexcept = 0;
    // Makes a rename or a new name in `folder` survive a crash.
    virtual void SyncFolder(const std::string& folder) = 0;
    // True when the user may write to `path` (a file or a folder).
    virtual bool Writable(const std::string& path) = 0;
    // What stands at `path` itself (a link is not followed), or nothing; the error number of
    // the failed look is left in `error`.
    virtual std::optional<PathFacts> Look(const std::string& path, int& error) = 0;
    // The same for what the path leads to, links followed.
    virtual std::optional<PathFacts> LookThrough(const std::string& path, int& error) = 0;
    // The absolute path with every link resolved; empty when it cannot be resolved.
    virtual std::string Resolve(const std::string& path) = 0;
};

}  // namespace velquist
