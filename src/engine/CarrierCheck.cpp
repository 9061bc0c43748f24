// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CarrierCheck.h"

#include "platform/NumberedFiles.h"

namespace velquist {

OutcomeKind CarrierVerdict(const CarrierHeader& header) {
    switch (header.refusal()) {
        case CarrierRefusal::None: return OutcomeKind::Completed;
        case CarrierRefusal::Damaged: return OutcomeKind::Damaged;
        case CarrierRefusal::Not24Bit: return OutcomeKind::Not24Bit;
        case CarrierRefusal::NotUncompressed: return OutcomeKind::NotUncompressed;
    }
    return OutcomeKind::Damaged;
}

Outcome InspectCarrier(NumberedFiles& files, int number, const std::string& path,
                       CarrierHeader& header) {
    try {
        files.OpenReadOnly(number, path);
        files.Lock(number, NumberedFiles::LockKind::Shared);
        header = ReadCarrierHeader(files, number);
        files.Close(number);
    } catch (const FileError& e) {
        files.CloseQuietly(number);
        if (e.cause() == FileCause::Busy) return Outcome::Of(OutcomeKind::Busy, path);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, path);
    }
    return Outcome::Of(CarrierVerdict(header), path);
}

}  // namespace velquist
