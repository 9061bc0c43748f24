// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/format/CarrierCheck.h"


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

Outcome CarrierFileFailure(const FileError& error, const std::string& path) {
    if (error.cause() == FileCause::Busy) return Outcome::Of(OutcomeKind::Busy, path);
    return Outcome::Failure(OutcomeKind::CarrierFailure, error, path);
}

Outcome OpenLockedCarrier(FileService& files, int number, const std::string& path,
                          FileService::LockKind kind, CarrierHeader& header) {
    try {
        files.OpenReadOnly(number, path);
        files.Lock(number, kind);
        header = ReadCarrierHeader(files, number);
    } catch (const FileError& e) {
        files.CloseQuietly(number);
        return CarrierFileFailure(e, path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

Outcome InspectCarrier(FileService& files, int number, const std::string& path,
                       CarrierHeader& header) {
    Outcome opened =
        OpenLockedCarrier(files, number, path, FileService::LockKind::Shared, header);
    if (!opened.completed()) return opened;
    try {
        files.Close(number);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
    }
    return Outcome::Of(CarrierVerdict(header), path);
}

}  // namespace velquist
