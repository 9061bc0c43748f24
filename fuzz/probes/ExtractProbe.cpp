// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/ExtractProbe.h"

#include <algorithm>

#include "engine/OpenedExtraction.h"
#include "engine/crypto/Argon2idKeyDerivation.h"
#include "engine/format/BmpHeader.h"
#include "probes/RawPicture.h"
#include "probes/Scratch.h"
#include "probes/SilentProgress.h"
#include "support/BitCodec.h"

namespace velquist::probes {

namespace {

// The extension the extract command would name the output after.
std::string StoredExtension(FileService& files, const std::string& path) {
    files.OpenReadOnly(1, path);
    std::string ext = ReadBmpHeader(files, 1).SafeExtension();
    files.Close(1);
    return ext;
}

// The password a version-1 carrier stores.
std::string StoredPassword(FileService& files, const std::string& path) {
    files.OpenReadOnly(1, path);
    std::string password = ReadBmpHeader(files, 1).StoredPassword();
    files.Close(1);
    return password;
}

// The password every protected seed is hidden with.
const std::string kPassword = "pw";

bool Sealed(const RawPicture& raw) { return (raw.marker() >> 28) == 2; }

// What the raw bytes say for certain: only a version-1 or version-2 message of an
// uncompressed 24-bit picture whose groups lie inside the file can be extracted; where the
// engine refuses one that the raw bytes allow, it must say why in a refusal of its own,
// never a failed file operation.
bool MayExtract(const RawPicture& raw, std::int64_t length) {
    return raw.uncompressed24() && raw.marker() != 0 &&
           ((raw.marker() >> 28) == 1 || Sealed(raw)) && raw.holds(length);
}

void CheckOutcome(const Outcome& result, const RawPicture& raw, const testing::MemoryFiles& files,
                  const std::string& outName, Findings& f) {
    std::int64_t length = raw.marker() & 0x00FFFFFF;
    bool completed = result.completed();
    f.Expect(!completed || MayExtract(raw, length), "a message that cannot be there was extracted");
    f.Expect(completed || result.kind != OutcomeKind::CarrierFailure,
             "reading an ordinary carrier failed");
    if (completed) {
        f.Expect(files.Names(kScratch) == std::vector<std::string>{"carrier.bmp", outName},
                 "the output folder holds other than carrier and output");
        // A sealed payload opens to a shorter message, checked by the engine's authentication.
        if (!Sealed(raw))
            f.Expect(std::ranges::equal(files.View(ScratchFile(outName)),
                                        DecodeByFields(raw.bytes(), raw.pixelOffset(), length)),
                     "output differs from the message the groups hold");
        return;
    }
    f.Expect(files.Names(kScratch) == std::vector<std::string>{"carrier.bmp"},
             "a refused extraction left a file behind");
}

}  // namespace

std::vector<std::uint8_t> DecodeByFields(const std::vector<std::uint8_t>& carrier,
                                         std::int64_t pixelOffset, std::int64_t length) {
    FieldOperands s;
    std::vector<std::uint8_t> message;
    for (std::int64_t done = 0; done < length; done += 3) {
        auto group = carrier.begin() + pixelOffset + 12 + done / 3 * 12;
        std::copy(group, group + 12, s.PixBuf.begin());
        s.MsgBuf.fill(0);
        int count = static_cast<int>(std::min<std::int64_t>(3, length - done));
        ExtractGroupByFields(s, count);
        message.insert(message.end(), s.MsgBuf.begin(), s.MsgBuf.begin() + count);
    }
    return message;
}

Findings ExtractProbe::Run(std::span<const std::uint8_t> bytes) {
    Findings f;
    files_.Clear();
    files_.AddFolder(kScratch);
    files_.Put(ScratchFile("carrier.bmp"), {bytes.begin(), bytes.end()});
    RawPicture raw(bytes);
    SilentProgress progress;
    const std::string carrier = ScratchFile("carrier.bmp");
    static const Argon2idKeyDerivation cheapKeys = Argon2idKeyDerivation::CheapForTests();
    PassContext ctx{files_, progress, nullptr, &cheapKeys};
    try {
        std::string outName = "output." + StoredExtension(files_, carrier);
        const std::string stored = StoredPassword(files_, carrier);
        OpenedExtraction opened = OpenForExtraction(ctx, {carrier, {}}, {});
        Outcome result = opened.outcome;
        // A version-1 carrier is given its own stored password, a version-2 one the seeds'.
        if (result.completed() && opened.extraction->NeedsPassword() &&
            !opened.extraction->AcceptPassword(SecretBytes::Of(Sealed(raw) ? kPassword : stored)))
            result = Outcome::Of(OutcomeKind::WrongPassword);
        if (result.completed()) result = opened.extraction->Run(ScratchFile(outName));
        if (opened.extraction) opened.extraction->Close();
        CheckOutcome(result, raw, files_, outName, f);
    } catch (const FileError& e) {
        f.Expect(false, std::string("extraction threw: ") + e.what());
    }
    f.Expect(!files_.IsOpen(1) && !files_.IsOpen(2), "a file was left open");
    f.Expect(std::ranges::equal(files_.View(ScratchFile("carrier.bmp")), raw.bytes()),
             "extraction changed the carrier");
    return f;
}

}  // namespace velquist::probes
