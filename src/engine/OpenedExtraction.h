// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "engine/Extraction.h"
#include "engine/PassContext.h"
#include "engine/PictureRequest.h"
#include "engine/format/Outcome.h"

namespace velquist {

struct OpenedExtraction {
    Outcome outcome;
    std::unique_ptr<Extraction> extraction;  // when the outcome completed
};

// Opens and locks `picture` as file 1 and checks under the lock what it holds: a marker word's
// message of version 1 or 2 (NoData when there is none, OtherVersion or Damaged when it cannot
// be one this program reads); without a marker word, the version-3 message `passphrase` (asked
// only then) opens in the very picture already open (NoData, exactly as for a clean picture,
// when it opens none). A failure leaves the picture closed.
OpenedExtraction OpenForExtraction(PassContext& ctx, const PictureRequest& picture,
                                   const PassphraseSource& passphrase);

}  // namespace velquist
