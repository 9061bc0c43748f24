// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/HideProbe.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/CarrierWipe.h"
#include "engine/EmbedPass.h"
#include "engine/HideOptions.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/Outcome.h"
#include "probes/ExtractProbe.h"
#include "probes/RawPicture.h"
#include "probes/Scratch.h"
#include "probes/SilentProgress.h"

namespace velquist::probes {

namespace {

// Ten bytes: three whole groups and a partial one.
const std::vector<std::uint8_t> kMessage{'v', 'e', 'l', 'q', 'u', 'i', 's', 't', '\r', '\n'};
constexpr std::int64_t kMessageGroupsEnd = 12 + 4 * 12;
const std::string kPassword = "pw";

// True when `after` equals `before` everywhere outside the marker word and [from, to).
bool SameOutside(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after,
                 std::int64_t from, std::int64_t to) {
    if (before.size() != after.size()) return false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        auto at = static_cast<std::int64_t>(i);
        bool written = (at >= 6 && at < 10) || (at >= from && at < to);
        if (!written && before[i] != after[i]) return false;
    }
    return true;
}

// What the raw bytes say, read apart from the engine: the hide must take exactly the pictures
// that are usable uncompressed 24-bit carriers, hold no data yet and have room in the pixel
// array.
bool Takes(const RawPicture& raw) {
    return raw.uncompressed24() && raw.marker() == 0 &&
           raw.takes(static_cast<std::int64_t>(kMessage.size()));
}

void CheckHide(const RawPicture& before, const RawPicture& after, const Outcome& outcome,
               Findings& f) {
    bool accepted = outcome.completed();
    f.Expect(accepted == Takes(before), accepted ? "the hide accepted a picture it must refuse"
                                                 : "the hide refused a picture it can take");
    f.Expect(outcome.kind != OutcomeKind::CarrierFailure && outcome.kind != OutcomeKind::MessageFailure,
             "a file operation failed on an ordinary file");
    if (!accepted) {
        f.Expect(after.bytes() == before.bytes(), "a refused hide changed the carrier");
        return;
    }
    std::int64_t o = before.pixelOffset();
    f.Expect(SameOutside(before.bytes(), after.bytes(), o, o + kMessageGroupsEnd),
             "the hide wrote outside the marker word and its groups");
    f.Expect(after.marker() == (kMessage.size() | 0x18000000u), "wrong marker word");
    std::vector<std::uint8_t> headerGroup(after.bytes().begin() + o, after.bytes().begin() + o + 12);
    f.Expect(headerGroup == std::vector<std::uint8_t>{'t', 'x', 't', 2, 'p', 'w', ' ', ' ', ' ', ' ',
                                                      ' ', ' '},
             "wrong header group");
    f.Expect(DecodeByFields(after.bytes(), o, static_cast<std::int64_t>(kMessage.size())) == kMessage,
             "the groups do not hold the message");
}

void CheckWipe(const RawPicture& before, const RawPicture& after, Findings& f) {
    f.Expect(after.length() == before.length(), "the wipe changed the length");
    if (after.length() >= 10)
        f.Expect(std::all_of(after.bytes().begin() + 6, after.bytes().begin() + 10,
                             [](std::uint8_t b) { return b == 0; }),
                 "the wipe left a marker word");
    bool hasGroup = before.usable() && before.pixelOffset() + 12 <= before.length();
    if (!hasGroup) {
        f.Expect(SameOutside(before.bytes(), after.bytes(), 0, 0),
                 "the wipe wrote more than the marker word of a damaged picture");
        return;
    }
    std::int64_t o = before.pixelOffset();
    std::int64_t room = (before.length() - o - 12) / 12 * 3;
    std::int64_t length = std::min<std::int64_t>(before.marker() & 0x00FFFFFF, room);
    std::int64_t end = o + 12 + (length + 2) / 3 * 12;
    f.Expect(SameOutside(before.bytes(), after.bytes(), o, end),
             "the wipe wrote outside the marker word, header group and groups");
    for (std::int64_t i = o; i < o + 3; ++i)
        f.Expect(after.At(i) == ' ', "the wipe left an extension character");
    f.Expect(after.At(o + 3) == 0, "the wipe left a password length");
    for (std::int64_t i = o + 4; i < o + 12; ++i)
        f.Expect(after.At(i) == ' ', "the wipe left a password character");
    auto left = DecodeByFields(after.bytes(), o, length);
    f.Expect(std::all_of(left.begin(), left.end(), [](std::uint8_t b) { return b == 0; }),
             "the wipe left message bits");
}

}  // namespace

HideProbe::HideProbe() : options_{Protection::Password, 1, SecretBytes::Of(kPassword)} {}

Findings HideProbe::Run(std::span<const std::uint8_t> bytes) {
    Findings f;
    files_.Clear();
    files_.AddFolder(kScratch);
    files_.Put(ScratchFile("carrier.bmp"), {bytes.begin(), bytes.end()});
    files_.Put(ScratchFile("message.txt"), kMessage);
    RawPicture original(bytes);
    SilentProgress progress;
    const std::string carrier = ScratchFile("carrier.bmp");
    PassContext ctx{files_, progress};
    Outcome outcome = EmbedMsg(ctx, {{carrier, {}}, ScratchFile("message.txt"), "txt"}, options_);
    RawPicture hidden(files_.View(carrier));
    CheckHide(original, hidden, outcome, f);
    try {
        files_.OpenExisting(1, carrier);
        WipeCarrier(files_, 1, ReadBmpHeader(files_, 1));
        files_.Close(1);
        CheckWipe(hidden, RawPicture(files_.View(carrier)), f);
    } catch (const FileError& e) {
        f.Expect(false, std::string("the wipe threw: ") + e.what());
    }
    f.Expect(!files_.IsOpen(1) && !files_.IsOpen(2), "a file was left open");
    f.Expect(files_.Names(kScratch) == std::vector<std::string>{"carrier.bmp", "message.txt"},
             "a file was created or removed");
    return f;
}

}  // namespace velquist::probes
