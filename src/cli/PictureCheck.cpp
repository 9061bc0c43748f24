// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PictureCheck.h"

#include "cli/CliSession.h"
#include "cli/OutcomeReport.h"
#include "engine/FileNumbers.h"
#include "engine/format/CarrierCheck.h"

namespace velquist::cli {

ExitCode CheckPicture(CliSession& session, const std::string& path, CarrierHeader& header) {
    Outcome outcome =
        InspectCarrier(session.files, file_numbers::kCarrier, path, header);
    return Report(session, CarrierCommand::Inspect, outcome);
}

}  // namespace velquist::cli
