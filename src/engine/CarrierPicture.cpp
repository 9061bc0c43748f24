// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CarrierPicture.h"

namespace velquist {

Outcome CarrierPicture::TakesFormat(int formatVersion, const std::string& path) const {
    // Versions 1 and 2 announce themselves in a BMP's reserved header fields, which no other
    // kind has.
    if (CarriesVersion3Only() && formatVersion != 3)
        return Outcome::About(OutcomeKind::NeedsFormat3, Kind(), path);
    return Outcome::Of(OutcomeKind::Completed, path);
}

}  // namespace velquist
