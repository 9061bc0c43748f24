// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/FileService.h"

namespace velquist::testing {

// The file service in memory: files and folders in maps, no disk, no system call. The fuzz
// targets run the passes over it, so that an input costs no disk I/O. It behaves as the POSIX
// service does where the passes can tell: missing files, folders where files are expected,
// reads past the end, read-only opens, unique temporary names, renames keeping the file.
class MemoryFiles final : public FileService {
public:
    MemoryFiles();

    // Set-up and inspection.
    void AddFolder(const std::string& folder);
    void Put(const std::string& path, std::vector<std::uint8_t> bytes);
    // The file's bytes; empty when there is none.
    std::vector<std::uint8_t> Get(const std::string& path) const;
    // The same without a copy, valid until the file next changes.
    std::span<const std::uint8_t> View(const std::string& path) const;
    // The names of the files directly in `folder`, sorted.
    std::vector<std::string> Names(const std::string& folder) const;
    // Drops every file and folder (a new input), open numbers included.
    void Clear();

    void OpenExisting(int number, const std::string& path) override;
    void OpenReadOnly(int number, const std::string& path) override;
    void OpenWritableIfAllowed(int number, const std::string& path) override;
    std::string CreateTemporary(int number, const std::string& folder) override;
    void CommitTemporary(int number, const std::string& finalPath,
                         const std::optional<PathFacts>& agreed) override;
    void CreateReplacement(int number, int original, const std::string& file) override;
    void CommitReplacement(int number, int original, const std::string& name) override;
    void Lock(int, LockKind) override {}
    bool IsOpen(int number) const override;
    PathFacts FactsOf(int number) override;
    void ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block) override;
    void WriteAt(int number, std::int64_t offset, std::span<const std::uint8_t> block) override;
    std::int64_t Length(int number) override;
    void Flush(int number) override;
    void SetPermissions(int number, mode_t) override;
    void Close(int number) override;
    void CloseQuietly(int number) noexcept override;
    void CloseAllQuietly() noexcept override;
    void ArmRetraction(int, std::int64_t, std::span<const std::uint8_t>) override {}
    void DisarmRetractions() noexcept override {}
    void Rename(const std::string& from, const std::string& to) override;
    void RemoveQuietly(const std::string& path) noexcept override;
    void SyncFolder(const std::string& folder) override;
    bool Writable(const std::string& path) override;
    std::optional<PathFacts> Look(const std::string& path, int& error) override;
    std::optional<PathFacts> LookThrough(const std::string& path, int& error) override;
    std::string Resolve(const std::string& path) override;

private:
    struct File {
        std::vector<std::uint8_t> bytes;
        ino_t inode = 0;
    };
    struct Slot {
        std::shared_ptr<File> file;
        std::string path;
        bool readOnly = false;
        bool replacement = false;  // not yet committed: removed when closed
    };
    static constexpr int kMaxNumber = 8;

    Slot& Require(int number, FileOp op);
    void Open(int number, const std::string& path, bool readOnly);

    std::map<std::string, std::shared_ptr<File>> files_;
    std::set<std::string> folders_;
    std::array<Slot, kMaxNumber + 1> slots_{};
    ino_t nextInode_ = 1;
    int nextTemporary_ = 0;
};

}  // namespace velquist::testing
