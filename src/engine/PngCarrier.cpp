// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngCarrier.h"

#include <new>
#include <vector>

#include "engine/PngPicture.h"
#include "engine/png/PngCodec.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

// The longest PNG file read: far more than 2^28 pixels ever compress to.
constexpr std::int64_t kMaxPngFileLength = std::int64_t{1} << 31;

OutcomeKind VerdictOf(const png::PngLayout& layout) {
    switch (layout.verdict) {
        case png::PngVerdict::Usable: return OutcomeKind::Completed;
        case png::PngVerdict::Damaged: return OutcomeKind::Damaged;
        case png::PngVerdict::Unsupported: break;
    }
    return OutcomeKind::UnsupportedPicture;
}

}  // namespace

PngCarrier::PngCarrier(FileService& files, int number, std::string path, std::int64_t length)
    : files_(files), number_(number), path_(std::move(path)), length_(length) {
    if (length_ > kMaxPngFileLength) return;
    layout_ = png::LookAtPng(static_cast<std::uint64_t>(length_),
                             [this](std::uint64_t offset, std::span<std::uint8_t> into) {
                                 files_.ReadAt(number_, static_cast<std::int64_t>(offset), into);
                             });
}

PngCarrier::~PngCarrier() = default;

OutcomeKind PngCarrier::Verdict() const {
    if (length_ > kMaxPngFileLength) return OutcomeKind::UnsupportedPicture;
    return VerdictOf(layout_);
}

std::int16_t PngCarrier::BitCount() const {
    int channels = 1;
    switch (layout_.colourType) {
        case 2: channels = 3; break;
        case 4: channels = 2; break;
        case 6: channels = 4; break;
        default: break;
    }
    return static_cast<std::int16_t>(channels * layout_.bitDepth);
}

std::uint64_t PngCarrier::LookSamples() const {
    return CoverWhole() ? 3 * layout_.pixelCount() : 0;
}

OutcomeKind PngCarrier::Decode() {
    if (!decoded_) decoded_ = DecodeOnce();
    return *decoded_;
}

OutcomeKind PngCarrier::DecodeOnce() {
    if (OutcomeKind verdict = Verdict(); verdict != OutcomeKind::Completed) return verdict;
    try {
        std::vector<std::uint8_t> file(static_cast<std::size_t>(length_));
        files_.ReadAt(number_, 0, file);
        png::DecodedPng decoded = png::DecodePng(file);
        if (OutcomeKind verdict = VerdictOf(decoded.layout); verdict != OutcomeKind::Completed)
            return verdict;
        samples_ = std::make_unique<PngPicture>(files_, number_, path_, std::move(file),
                                                std::move(decoded));
    } catch (const std::bad_alloc&) {
        // Too large a file or too many pixels for this machine's memory, though within what
        // PNG carriers may have.
        return OutcomeKind::UnsupportedPicture;
    }
    return OutcomeKind::Completed;
}

StealthPicture& PngCarrier::Samples() { return *samples_; }

}  // namespace velquist
