#include "cli/InspectCommand.h"

#include <algorithm>
#include <ostream>

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/PictureCheck.h"
#include "engine/CarrierFormat.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

// The window's capacity hint divides the whole file length by 4092, header included.
constexpr std::int64_t kWindowKilobyte = 4092;

struct Facts {
    std::int16_t bitCount;
    bool holdsData;
    unsigned version;
    bool isProtected;
    std::string extension;
    std::uint32_t length;
    std::int64_t capacityBytes;
    std::int64_t capacityKb;
};

Facts FactsOf(const CarrierHeader& h) {
    return Facts{h.bitCount,
                 h.holdsData(),
                 static_cast<unsigned>(h.markerWord >> 28),
                 h.holdsData() && h.isProtected(),
                 h.SafeExtension(),
                 h.messageLength(),
                 std::max<std::int64_t>(carrier::LargestMessage(h.fileLength, h.pixelOffset), 0),
                 h.fileLength / kWindowKilobyte};
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
    out << "{\"bitCount\":" << f.bitCount << ",\"holdsData\":" << (f.holdsData ? "true" : "false")
        << ",\"version\":" << unlessEmpty(std::to_string(f.version))
        << ",\"protected\":" << (f.isProtected ? "true" : "false")
        << ",\"extension\":" << unlessEmpty(JsonString(f.extension))
        << ",\"messageLength\":" << unlessEmpty(std::to_string(f.length))
        << ",\"capacityBytes\":" << f.capacityBytes << ",\"capacityKB\":" << f.capacityKb << "}\n";
}

void PrintLines(std::ostream& out, const Facts& f) {
    out << kLabelBitCount << ": " << f.bitCount << '\n'
        << kLabelHoldsData << ": " << (f.holdsData ? kYes : kNo) << '\n';
    if (f.holdsData) {
        out << kLabelVersion << ": " << f.version << '\n'
            << kLabelProtected << ": " << (f.isProtected ? kProtectedYes : kProtectedNo) << '\n'
            << kLabelExtension << ": " << f.extension << '\n'
            << kLabelLength << ": " << f.length << '\n';
    }
    out << kLabelCapacityBytes << ": " << f.capacityBytes << '\n'
        << kLabelCapacityKb << ": " << f.capacityKb << '\n';
}

}  // namespace

ExitCode RunInspect(const CliRequest& request, CliSession& session) {
    CarrierHeader header;
    if (ExitCode code = CheckPicture(session, request.picture, header); code != ExitCode::Ok)
        return code;
    Facts facts = FactsOf(header);
    if (request.json)
        PrintJson(session.out, facts);
    else
        PrintLines(session.out, facts);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
