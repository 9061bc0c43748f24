// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BmpCarrier.h"

#include "engine/BmpPicture.h"

namespace velquist {

BmpCarrier::BmpCarrier(FileService& files, int number)
    : files_(files), number_(number), header_(ReadBmpHeader(files, number)) {}

BmpCarrier::~BmpCarrier() = default;

OutcomeKind BmpCarrier::Decode() {
    if (!CoverWhole()) return OutcomeKind::Damaged;
    if (!samples_) samples_ = std::make_unique<BmpPicture>(files_, number_, header_);
    return OutcomeKind::Completed;
}

StealthPicture& BmpCarrier::Samples() { return *samples_; }

}  // namespace velquist
