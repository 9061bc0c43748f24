// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StealthSteps.h"

#include <atomic>
#include <cmath>
#include <optional>

#include "engine/BesideEventLoop.h"
#include "engine/PassProgress.h"
#include "engine/StealthPicture.h"
#include "engine/stealth/Stealth.h"
#include "engine/stealth/pixels/PixelCover.h"
#include "engine/stealth/pixels/PixelSalt.h"

namespace velquist::stealth_steps {

namespace {

stealth::KdfCost CostOf(const PassContext& ctx) {
    return ctx.stealthCost ? *ctx.stealthCost : stealth::KdfCost::Format();
}

// Runs `work` with a progress callback: the percentage reaches the pass's reports from the
// calling thread (with a pump, while it yields), only when its whole number changes.
template <typename Work>
auto WithPercent(PassContext& ctx, Work work) {
    std::atomic<int> percent{0};
    int shown = -1;
    auto show = [&] {
        int now = percent.load();
        if (now == shown) return;
        shown = now;
        ctx.progress.Percent(now);
    };
    stealth::EmbedOptions options;
    // Without a pump the work runs on this thread, whose caller waits: reporting from the
    // library's own calls is then safe, since it makes them one at a time.
    options.progress = [&](double done) {
        percent.store(static_cast<int>(std::floor(done * 100.0)));
        if (!ctx.pump) show();
    };
    decltype(work(options)) result{};
    RunBesideEventLoop(ctx.pump, [&] { result = work(options); }, show);
    show();
    return result;
}

}  // namespace

stealth::StealthKeys DeriveKeys(PassContext& ctx, const SecretBytes& passphrase,
                                const stealth::SampleGeometry& geometry) {
    ctx.progress.Status(PassStatus::VerifyingPassword);
    std::optional<stealth::StealthKeys> keys;
    RunBesideEventLoop(ctx.pump, [&] {
        keys.emplace(stealth::StealthKeys::Derive(
            passphrase.text(), stealth::PixelSalt(geometry.Width(), geometry.Height()), CostOf(ctx)));
    });
    return std::move(*keys);
}

std::optional<std::vector<std::uint32_t>> Embed(PassContext& ctx, StealthPicture& picture,
                                                const stealth::StealthKeys& keys,
                                                std::span<const std::uint8_t> payload) {
    ctx.progress.Status(PassStatus::Embedding);
    return WithPercent(ctx, [&](const stealth::EmbedOptions& options) {
        stealth::PixelCover cover(picture.Samples(), picture.Geometry());
        return stealth::Embed(cover, keys, payload, options);
    });
}

std::vector<std::uint32_t> Wipe(PassContext& ctx, StealthPicture& picture,
                                const stealth::StealthKeys& keys, std::uint32_t payloadLength) {
    ctx.progress.Status(PassStatus::Embedding);
    return WithPercent(ctx, [&](const stealth::EmbedOptions& options) {
        stealth::PixelCover cover(picture.Samples(), picture.Geometry());
        // Every colour sample may change, so the header always has a way to fail the check.
        return stealth::Wipe(cover, keys, payloadLength, options).value();
    });
}

std::optional<std::vector<std::uint8_t>> ReadPayload(StealthPicture& picture,
                                                     const stealth::StealthKeys& keys) {
    return stealth::ReadPayload(stealth::PixelCover(picture.Samples(), picture.Geometry()), keys);
}

}  // namespace velquist::stealth_steps
