// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MemoryFiles.h"

#include <algorithm>
#include <cerrno>

#include "platform/FolderPath.h"

namespace velquist::testing {

MemoryFiles::MemoryFiles() { Clear(); }

void MemoryFiles::Clear() {
    CloseAllQuietly();
    files_.clear();
    folders_ = {"/"};
}

void MemoryFiles::AddFolder(const std::string& folder) { folders_.insert(folder); }

void MemoryFiles::Put(const std::string& path, std::vector<std::uint8_t> bytes) {
    auto file = std::make_shared<File>();
    file->bytes = std::move(bytes);
    file->inode = nextInode_++;
    files_[path] = std::move(file);
}

std::vector<std::uint8_t> MemoryFiles::Get(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? std::vector<std::uint8_t>() : it->second->bytes;
}

std::span<const std::uint8_t> MemoryFiles::View(const std::string& path) const {
    auto it = files_.find(path);
    if (it == files_.end()) return {};
    return it->second->bytes;
}

std::vector<std::string> MemoryFiles::Names(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [path, file] : files_)
        if (FolderOf(path) == folder) names.push_back(path.substr(WithSeparator(folder).size()));
    return names;
}

MemoryFiles::Slot& MemoryFiles::Require(int number, FileOp op) {
    if (!IsOpen(number))
        throw FileError(op, "#" + std::to_string(number), FileCause::Other,
                        "file number not open", number);
    return slots_[number];
}

void MemoryFiles::Open(int number, const std::string& path, bool readOnly) {
    if (number < 1 || number > kMaxNumber || IsOpen(number))
        throw FileError(FileOp::Open, path, FileCause::Other, "file number unavailable", number);
    if (folders_.count(path)) throw FileError(FileOp::Open, path, EISDIR, number);
    auto it = files_.find(path);
    if (it == files_.end()) throw FileError(FileOp::Open, path, ENOENT, number);
    slots_[number] = Slot{it->second, path, readOnly};
}

void MemoryFiles::OpenExisting(int number, const std::string& path) { Open(number, path, false); }

void MemoryFiles::OpenReadOnly(int number, const std::string& path) { Open(number, path, true); }

void MemoryFiles::OpenWritableIfAllowed(int number, const std::string& path) {
    Open(number, path, false);
}

std::string MemoryFiles::CreateTemporary(int number, const std::string& folder) {
    if (!folders_.count(folder)) throw FileError(FileOp::Create, folder, ENOENT, number);
    std::string path = WithSeparator(folder) + ".velquist-" + std::to_string(nextTemporary_++);
    Put(path, {});
    Open(number, path, false);
    return path;
}

void MemoryFiles::CommitTemporary(int number, const std::string& finalPath,
                                  const std::optional<PathFacts>& agreed) {
    Slot& slot = Require(number, FileOp::Rename);
    int error = 0;
    auto standing = Look(finalPath, error);
    if (standing && (!agreed || !standing->SameAs(*agreed)))
        throw FileError(FileOp::Rename, finalPath, FileCause::Changed, "the name was taken", number);
    Rename(slot.path, finalPath);
    slot.path = finalPath;
}

void MemoryFiles::CreateReplacement(int number, int original, const std::string& file) {
    Require(original, FileOp::Create);
    CreateTemporary(number, FolderOf(file));
    slots_[number].replacement = true;
}

void MemoryFiles::CommitReplacement(int number, int original, const std::string& name) {
    Slot& slot = Require(number, FileOp::Rename);
    const ino_t opened = Require(original, FileOp::Rename).file->inode;
    int error = 0;
    auto standing = Look(name, error);
    if (!standing) throw FileError(FileOp::Rename, name, FileCause::NotFound, "the file is gone", number);
    if (standing->inode != opened)
        throw FileError(FileOp::Rename, name, FileCause::Replaced, "another file took the name", number);
    Rename(slot.path, name);
    slot.path = name;
    slot.replacement = false;
}

PathFacts MemoryFiles::FactsOf(int number) {
    PathFacts facts{PathFacts::Kind::File, 1, Require(number, FileOp::Length).file->inode};
    facts.links = 1;
    return facts;
}

bool MemoryFiles::IsOpen(int number) const {
    return number >= 1 && number <= kMaxNumber && slots_[number].file != nullptr;
}

void MemoryFiles::ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block) {
    Slot& slot = Require(number, FileOp::Read);
    const auto& bytes = slot.file->bytes;
    if (offset < 0 || offset > static_cast<std::int64_t>(bytes.size()) ||
        block.size() > bytes.size() - static_cast<std::size_t>(offset))
        throw FileError(FileOp::Read, slot.path, FileCause::Changed,
                        "read past the end of the file", number);
    std::copy_n(bytes.begin() + offset, block.size(), block.begin());
}

void MemoryFiles::WriteAt(int number, std::int64_t offset, std::span<const std::uint8_t> block) {
    Slot& slot = Require(number, FileOp::Write);
    if (slot.readOnly) throw FileError(FileOp::Write, slot.path, EBADF, number);
    if (offset < 0) throw FileError(FileOp::Write, slot.path, FileCause::Other, "negative offset", number);
    auto& bytes = slot.file->bytes;
    std::size_t end = static_cast<std::size_t>(offset) + block.size();
    if (bytes.size() < end) bytes.resize(end);
    std::copy(block.begin(), block.end(), bytes.begin() + offset);
}

std::int64_t MemoryFiles::Length(int number) {
    return static_cast<std::int64_t>(Require(number, FileOp::Length).file->bytes.size());
}

void MemoryFiles::Flush(int number) { Require(number, FileOp::Flush); }

void MemoryFiles::SetPermissions(int number, mode_t) { Require(number, FileOp::Mode); }


void MemoryFiles::Close(int number) { CloseQuietly(number); }

void MemoryFiles::CloseQuietly(int number) noexcept {
    if (!IsOpen(number)) return;
    Slot& slot = slots_[number];
    auto named = files_.find(slot.path);
    if (slot.replacement && named != files_.end() && named->second == slot.file) files_.erase(named);
    slot = Slot{};
}

void MemoryFiles::CloseAllQuietly() noexcept {
    for (int n = 1; n <= kMaxNumber; ++n) CloseQuietly(n);
}

void MemoryFiles::Rename(const std::string& from, const std::string& to) {
    if (folders_.count(to)) throw FileError(FileOp::Rename, to, EISDIR);
    auto it = files_.find(from);
    if (it == files_.end() || !folders_.count(FolderOf(to))) throw FileError(FileOp::Rename, to, ENOENT);
    auto file = it->second;
    files_.erase(it);
    files_[to] = std::move(file);
}

void MemoryFiles::RemoveQuietly(const std::string& path) noexcept { files_.erase(path); }

void MemoryFiles::SyncFolder(const std::string& folder) {
    if (!folders_.count(folder)) throw FileError(FileOp::Flush, folder, ENOENT);
}

bool MemoryFiles::Writable(const std::string& path) {
    return folders_.count(path) > 0 || files_.count(path) > 0;
}

std::optional<PathFacts> MemoryFiles::Look(const std::string& path, int& error) {
    if (folders_.count(path)) return PathFacts{PathFacts::Kind::Folder, 1, 0};
    auto it = files_.find(path);
    if (it == files_.end()) {
        error = ENOENT;
        return std::nullopt;
    }
    return PathFacts{PathFacts::Kind::File, 1, it->second->inode};
}

std::optional<PathFacts> MemoryFiles::LookThrough(const std::string& path, int& error) {
    return Look(path, error);
}

std::string MemoryFiles::Resolve(const std::string& path) {
    int error = 0;
    return Look(path, error) ? path : std::string();
}

}  // namespace velquist::testing
