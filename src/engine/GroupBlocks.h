#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velquist {

class NumberedFiles;

// Walks a run of carrier groups in blocks of about 1 MiB: each block is read whole, worked
// on in memory and, where the caller changes it, written back where it was read. The last
// block is clamped to the groups that remain.
class GroupBlocks {
public:
    static constexpr std::int64_t kGroupsPerBlock = 87381;  // 1,048,572 carrier bytes

    // `firstPosition` is the 1-based position of the first group's first byte.
    GroupBlocks(NumberedFiles& files, int number, std::int64_t firstPosition,
                std::int64_t groupCount);

    // Reads the next block; an empty span when every group has been read.
    std::span<std::uint8_t> Next();
    void WriteBack();
    // 1-based position just after the last group read.
    std::int64_t EndPosition() const { return position_; }

private:
    NumberedFiles& files_;
    int number_;
    std::int64_t position_;
    std::int64_t remaining_;
    std::int64_t blockPosition_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::span<std::uint8_t> block_;
};

}  // namespace velquist
