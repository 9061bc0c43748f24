#include "BenchPlatform.h"

#include <cstdio>

namespace velquist::bench {

int BenchPlatform::MsgBox(const std::string& prompt, int style,
                          const std::optional<std::string>&) {
    if (style == kStyleError) {
        ++errorBoxes;
        std::fprintf(stderr, "box: %s\n", prompt.c_str());
    }
    return kAnswerOk;
}

void BenchPlatform::Yield() {
    ++yields;
    if (slicer_.Due()) ++slices;  // where the window would run its pending events
}

}  // namespace velquist::bench
