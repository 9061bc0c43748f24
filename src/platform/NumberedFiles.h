#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/FileError.h"

namespace velquist {

// Binary files addressed by small numbers (1 the carrier, 2 the message or output file).
// Positions are 1-based; position 0 means "continue at the current position". Every failure
// throws FileError naming the operation and the path; a read past the end is an error,
// never zero-filled data.
class NumberedFiles {
public:
    static constexpr int kMaxNumber = 8;
    static constexpr std::int64_t kHere = 0;

    // Tests only: return true to make that operation fail.
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
    // Takes over an already open descriptor (used for a freshly made temporary file).
    void Adopt(int number, int fd, const std::string& path);

    bool IsOpen(int number) const;
    const std::string& PathOf(int number) const;

    std::uint8_t GetU8(int number, std::int64_t position = kHere);
    std::uint16_t GetU16(int number, std::int64_t position = kHere);
    std::uint32_t GetU32(int number, std::int64_t position = kHere);
    // Fills the whole block or throws.
    void GetBlock(int number, std::int64_t position, std::span<std::uint8_t> block);
    // Reads up to block.size() bytes; fewer only at the end of the file. Returns the count.
    std::size_t GetUpTo(int number, std::int64_t position, std::span<std::uint8_t> block);

    void PutU8(int number, std::int64_t position, std::uint8_t value);
    void PutU16(int number, std::int64_t position, std::uint16_t value);
    void PutU32(int number, std::int64_t position, std::uint32_t value);
    void PutBlock(int number, std::int64_t position, std::span<const std::uint8_t> block);
    // Fixed-length text: exactly `length` bytes, cut or padded with spaces.
    void PutFixedText(int number, std::int64_t position, const std::string& text,
                      std::size_t length);

    // Position of the last byte read or written (0 right after opening).
    std::int64_t LastPosition(int number) const;
    std::int64_t Length(int number);
    // Cuts the file to length 0.
    void Empty(int number);
    // Pushes written data to the disk.
    void Flush(int number);
    void Close(int number);
    // Closes every open number; reports the first failure after closing them all.
    void CloseAll();
    // Closes every open number and swallows failures (used on paths already failing).
    void CloseAllQuietly() noexcept;

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
