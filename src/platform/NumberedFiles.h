// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/FileError.h"

namespace velquist {

// Binary files addressed by small numbers (1 the carrier, 2 the message or output file, 3 the
// carrier's lock). Positions are 1-based; position 0 means "continue at the current position";
// the ...At calls take 0-based byte offsets instead. Only regular files are ever opened. Every
// failure throws FileError naming the operation, the path and the cause; a read past the end is
// an error, never zero-filled data. Operations on a path alone (rename, remove, folder sync,
// access) go through here too, so one fault hook reaches every step.
class NumberedFiles {
public:
    static constexpr int kMaxNumber = 8;
    static constexpr std::int64_t kHere = 0;

    enum class LockKind { Shared, Exclusive };

    // Tests only: return true to make that operation fail (number 0: an operation on a path).
    using FaultHook = std::function<bool(FileOp op, int number)>;

    NumberedFiles() = default;
    ~NumberedFiles();
    NumberedFiles(const NumberedFiles&) = delete;
    NumberedFiles& operator=(const NumberedFiles&) = delete;

    // Reading and writing; a missing file is created empty, an existing one keeps its bytes.
    void Open(int number, const std::string& path);
    // Reading and writing an existing file; a missing file is an error, never created.
    void OpenExisting(int number, const std::string& path);
    // Reading only; nothing is ever created or written.
    void OpenReadOnly(int number, const std::string& path);
    // Creates a new private (0600) file with a unique name in `folder` and opens it as
    // `number`; returns its path. It is remembered for removal if a signal ends the process.
    std::string CreateTemporary(int number, const std::string& folder);

    // Takes the file's advisory lock without waiting; another holder makes this fail as Busy.
    void Lock(int number, LockKind kind);

    bool IsOpen(int number) const;
    const std::string& PathOf(int number) const;

    std::uint32_t GetU32(int number, std::int64_t position = kHere);
    // Fills the whole block or throws.
    void GetBlock(int number, std::int64_t position, std::span<std::uint8_t> block);
    // Reads up to block.size() bytes; fewer only at the end of the file. Returns the count.
    std::size_t GetUpTo(int number, std::int64_t position, std::span<std::uint8_t> block);

    void PutU32(int number, std::int64_t position, std::uint32_t value);
    void PutBlock(int number, std::int64_t position, std::span<const std::uint8_t> block);

    // The same at 0-based byte offsets from the start of the file.
    void ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block);
    void WriteAt(int number, std::int64_t offset, std::span<const std::uint8_t> block);

    std::int64_t Length(int number);
    // Pushes written data to the disk.
    void Flush(int number);
    void SetPermissions(int number, mode_t mode);
    void Close(int number);
    // Closes without reporting a failure (used on paths already failing).
    void CloseQuietly(int number) noexcept;
    // Closes every open number; reports the first failure after closing them all.
    void CloseAll();
    // Closes every open number and swallows failures (used on paths already failing).
    void CloseAllQuietly() noexcept;

    // Operations on paths.
    void Rename(const std::string& from, const std::string& to);
    void Remove(const std::string& path);
    // Makes a rename or a new name in `folder` survive a crash.
    void SyncFolder(const std::string& folder);
    // True when the user may write to `path` (a file or a folder).
    bool Writable(const std::string& path);

    void SetFaultHook(FaultHook hook) { faultHook_ = std::move(hook); }

private:
    struct Slot {
        int fd = -1;
        std::string path;
        std::int64_t last = 0;  // 1-based position of the last byte touched
    };

    Slot& Require(int number);
    const Slot& Require(int number) const;
    void OpenWith(int number, const std::string& path, int flags);
    void CheckFault(FileOp op, int number, const std::string& path);
    std::int64_t Resolve(const Slot& slot, std::int64_t position) const;

    std::array<Slot, kMaxNumber + 1> slots_{};
    FaultHook faultHook_;
};

}  // namespace velquist
