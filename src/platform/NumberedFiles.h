// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <string>

#include "platform/FileService.h"

namespace velquist {

// The file service on the POSIX calls: pread and pwrite at explicit offsets, flock for the
// lock, fdatasync for durability, O_TMPFILE and renameat2 for outputs that appear whole or not
// at all. Up to eight numbers are open at a time.
class NumberedFiles final : public FileService {
public:
    static constexpr int kMaxNumber = 8;

    // Tests only: return true to make that operation fail (number 0: an operation on a path).
    using FaultHook = std::function<bool(FileOp op, int number)>;

    NumberedFiles() = default;
    ~NumberedFiles() override;
    NumberedFiles(const NumberedFiles&) = delete;
    NumberedFiles& operator=(const NumberedFiles&) = delete;

    void OpenExisting(int number, const std::string& path) override;
    void OpenReadOnly(int number, const std::string& path) override;
    void OpenWritableIfAllowed(int number, const std::string& path) override;
    std::string CreateTemporary(int number, const std::string& folder) override;
    void CommitTemporary(int number, const std::string& finalPath,
                         const std::optional<PathFacts>& agreed) override;
    void CreateReplacement(int number, int original, const std::string& file) override;
    void CommitReplacement(int number, int original, const std::string& name) override;
    void Lock(int number, LockKind kind) override;
    bool IsOpen(int number) const override;
    PathFacts FactsOf(int number) override;

    void ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block) override;
    void WriteAt(int number, std::int64_t offset, std::span<const std::uint8_t> block) override;
    std::int64_t Length(int number) override;
    void Flush(int number) override;
    void SetPermissions(int number, mode_t mode) override;
    void Close(int number) override;
    void CloseQuietly(int number) noexcept override;
    void CloseAllQuietly() noexcept override;
    void ArmRetraction(int number, std::int64_t offset,
                       std::span<const std::uint8_t> bytes) override;
    void DisarmRetractions() noexcept override;

    void Rename(const std::string& from, const std::string& to) override;
    void RemoveQuietly(const std::string& path) noexcept override;
    void SyncFolder(const std::string& folder) override;
    bool Writable(const std::string& path) override;
    std::optional<PathFacts> Look(const std::string& path, int& error) override;
    std::optional<PathFacts> LookThrough(const std::string& path, int& error) override;
    std::string Resolve(const std::string& path) override;

    const std::string& PathOf(int number) const;
    void SetFaultHook(FaultHook hook) { faultHook_ = std::move(hook); }
    // Tests only: temporary files get a hidden name, as where the file system refuses O_TMPFILE.
    void NameTemporaryFiles(bool named) { alwaysNamed_ = named; }

private:
    struct Slot {
        int fd = -1;
        std::string path;             // the file's name; the folder of an unnamed temporary file
        bool readOnly = false;
        bool unnamed = false;         // a temporary file not yet linked into its folder
        std::int64_t unstarted = 0;   // bytes written since the disk was last asked to start
        std::string replaces;         // for a replacement not yet committed: the file it replaces
    };

    Slot& Require(int number, FileOp op);
    void OpenWith(int number, const std::string& path, int flags, bool readOnly);
    int OpenChecked(int number, const std::string& path, int flags);
    void CheckFault(FileOp op, int number, const std::string& path);
    void CheckOffset(const Slot& slot, FileOp op, int number, std::int64_t offset) const;
    void StartWritingBack(Slot& slot, std::size_t written) noexcept;
    int CreateUnnamed(const std::string& folder);
    std::string LinkBeside(Slot& slot, const std::string& finalPath);
    void MoveToFreeName(const std::string& from, const std::string& to);
    void MoveOverAgreed(const std::string& from, const std::string& to, const PathFacts& agreed);
    int CreateNamedReplacement(int number, const std::string& name);
    void NameReplacement(int number, Slot& slot);
    void CheckStillLeadsTo(const std::string& name, const PathFacts& opened, int number);
    void GiveOwner(int number, Slot& slot, const PathFacts& original);
    void GiveAttributes(int number, Slot& slot, int original, const PathFacts& opened);
    void ExchangeWithReplacement(int number, Slot& slot, const PathFacts& opened);
    void RemoveUncommitted(Slot& slot) noexcept;
    void RemoveStaleReplacement(const std::string& path);

    std::array<Slot, kMaxNumber + 1> slots_{};
    FaultHook faultHook_;
    bool alwaysNamed_ = false;
};

}  // namespace velquist
