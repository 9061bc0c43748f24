// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FailureOutcome.h"

#include <new>

#include "engine/stealth/StealthError.h"

namespace velquist {

Outcome OutcomeOfFailure(const std::exception_ptr& failure, const std::string& picturePath,
                         OutcomeKind noMemory) {
    try {
        std::rethrow_exception(failure);
    } catch (const stealth::StealthError& e) {
        using Kind = stealth::StealthError::Kind;
        switch (e.kind()) {
            case Kind::Damaged: return Outcome::Of(OutcomeKind::Damaged, picturePath);
            case Kind::OutOfMemory: return Outcome::Of(noMemory, picturePath);
            case Kind::CryptoUnavailable: break;
        }
        return Outcome::Of(OutcomeKind::NoMemory, picturePath);
    } catch (const std::bad_alloc&) {
        return Outcome::Of(noMemory, picturePath);
    } catch (...) {
    }
    return Outcome{OutcomeKind::CarrierFailure, picturePath, FileCause::Other, 0};
}

}  // namespace velquist
