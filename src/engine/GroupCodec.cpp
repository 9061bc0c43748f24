#include "engine/GroupCodec.h"

#include "engine/GroupCodecKernels.h"

namespace velquist::GroupCodec {

using namespace detail;

void Embed(std::uint8_t* group, const std::uint8_t* message, int count) {
    if (count >= 3) {
        EmbedWhole(group, message);
        return;
    }
    Spread g = Load(group);
    if (count >= 1) {
        const Spread& a = kSpread0[message[0]];
        g.lo = (g.lo & ~kField0.lo) | a.lo;
        g.hi = (g.hi & ~kField0.hi) | a.hi;
    }
    if (count >= 2) {
        const Spread& b = kSpread1[message[1]];
        g.lo = (g.lo & ~kField1.lo) | b.lo;
        g.hi = (g.hi & ~kField1.hi) | b.hi;
    }
    Store(group, g);
}

void Extract(const std::uint8_t* group, std::uint8_t* message, int count) {
    std::uint8_t triple[3];
    ExtractWhole(group, triple);
    for (int i = 0; i < count && i < 3; ++i) message[i] = triple[i];
}

void EmbedRun(std::uint8_t* groups, const std::uint8_t* message, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) EmbedWhole(groups + 12 * i, message + 3 * i);
}

void ExtractRun(const std::uint8_t* groups, std::uint8_t* message, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) ExtractWhole(groups + 12 * i, message + 3 * i);
}

}  // namespace velquist::GroupCodec
