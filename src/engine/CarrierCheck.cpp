#include "engine/CarrierCheck.h"

#include "engine/CarrierFormat.h"
#include "platform/NumberedFiles.h"

namespace velquist {

OutcomeKind CarrierVerdict(const CarrierHeader& header) {
    // Too short to hold a bit count at all is damage, not another colour depth.
    if (header.damage == CarrierDamage::TooShort) return OutcomeKind::Damaged;
    if (header.bitCount != carrier::kRequiredBitCount) return OutcomeKind::Not24Bit;
    if (header.damaged() || (header.holdsData() && !header.hasHeaderGroup))
        return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
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
