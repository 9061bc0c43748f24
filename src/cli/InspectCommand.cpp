// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/InspectCommand.h"

#include <algorithm>
#include <ostream>

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/OutcomeReport.h"
#include "cli/PictureKindWords.h"
#include "engine/FileNumbers.h"
#include "engine/CarrierCheck.h"
#include "engine/format/BmpHeader.h"
#include "engine/stealth/StealthCapacity.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

// The marker word's top four bits; version 2 carries an encrypted payload.
constexpr unsigned kEncryptedVersion = 2;

struct Facts {
    const char* container;
    std::int16_t bitCount;
    bool holdsData;
    unsigned version;
    bool isProtected;
    bool encrypted;
    std::string extension;
    std::uint32_t length;
    std::int64_t capacityBytes;
    std::int64_t capacityKb;
    std::uint64_t stealthCapacityBytes;
    std::uint64_t stealthSafeBytes;
};


// A kind that carries version 3 only has no marker word to tell of, and no room for versions 1
// and 2.
Facts FactsOf(const CarrierPicture& picture) {
    const std::uint64_t samples = picture.LookSamples();
    Facts facts{WordsOf(picture.Kind()).fileName, picture.BitCount(), false, 0, false, false, "",
                0, 0, 0,
                stealth::StealthCapacity::LargestFile(samples).value_or(0),
                stealth::StealthCapacity::SafeFile(samples).value_or(0)};
    if (const BmpHeader* h = picture.Marks()) {
        facts.holdsData = h->holdsData();
        facts.version = static_cast<unsigned>(h->markerWord >> 28);
        facts.isProtected = h->holdsData() && (h->isProtected() || h->isVersion2());
        facts.encrypted = h->holdsData() && facts.version == kEncryptedVersion;
        facts.extension = h->SafeExtension();
        facts.length = h->messageLength();
        facts.capacityBytes = std::max<std::int64_t>(h->largestNewHide(), 0);
        facts.capacityKb = h->capacityKilobytes();
    }
    return facts;
}

// The extension is already printable ASCII without a backslash; only quotes need escaping.
std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

void PrintJson(std::ostream& out, const Facts& f) {
    auto unlessEmpty = [&](const std::string& value) { return f.holdsData ? value : "null"; };
    out << "{\"container\":" << JsonString(f.container) << ",\"bitCount\":" << f.bitCount << ",\"holdsData\":" << (f.holdsData ? "true" : "false")
        << ",\"version\":" << unlessEmpty(std::to_string(f.version))
        << ",\"protected\":" << (f.isProtected ? "true" : "false")
        << ",\"encrypted\":" << (f.encrypted ? "true" : "false")
        << ",\"extension\":" << unlessEmpty(JsonString(f.extension))
        << ",\"messageLength\":" << unlessEmpty(std::to_string(f.length))
        << ",\"capacityBytes\":" << f.capacityBytes << ",\"capacityKB\":" << f.capacityKb
        << ",\"stealthCapacityBytes\":" << f.stealthCapacityBytes
        << ",\"stealthSafeBytes\":" << f.stealthSafeBytes << "}\n";
}

void PrintLines(std::ostream& out, const Facts& f) {
    auto line = [&](const char* label, const std::string& value) { out << Tr(label) << ": " << value << '\n'; };
    auto yesNo = [](bool yes) { return std::string(Tr(yes ? kYes : kNo)); };
    line(kLabelContainer, f.container);
    line(kLabelBitCount, std::to_string(f.bitCount));
    line(kLabelHoldsData, Tr(f.holdsData ? kPresent : kAbsent));
    if (f.holdsData) {
        line(kLabelVersion, std::to_string(f.version));
        line(kLabelProtected, yesNo(f.isProtected));
        line(kLabelEncrypted, yesNo(f.encrypted));
        line(kLabelExtension, f.extension);
        line(kLabelLength, std::to_string(f.length));
    }
    line(kLabelCapacityBytes, std::to_string(f.capacityBytes));
    line(kLabelCapacityKb, std::to_string(f.capacityKb));
    line(kLabelStealthCapacity, std::to_string(f.stealthCapacityBytes));
    line(kLabelStealthSafe, std::to_string(f.stealthSafeBytes));
}

}  // namespace

ExitCode RunInspect(const CliRequest& request, CliSession& session) {
    std::unique_ptr<CarrierPicture> picture;
    Outcome outcome =
        InspectCarrier(session.files, file_numbers::kCarrier, request.picture, picture);
    if (ExitCode code = Report(session, CarrierCommand::Inspect, outcome); code != ExitCode::Ok)
        return code;
    Facts facts = FactsOf(*picture);
    if (request.json)
        PrintJson(session.out, facts);
    else
        PrintLines(session.out, facts);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
