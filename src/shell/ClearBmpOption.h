#pragma once

#include <string>

namespace velquist {

class Platform;

// The one option kept between runs: whether extraction wipes the hidden data afterwards.
// Its state is 0 (off) or 1 (on), stored as that decimal text.
class ClearBmpOption {
public:
    static constexpr const char* kApplication = "Qelto";
    static constexpr const char* kSection = "Lumicrest";
    static constexpr const char* kKey = "clearBMP";
    static constexpr const char* kDefault = "0";

    static int Read(Platform& platform);
    static void Write(Platform& platform, int state);
    // A stored text other than "0" or "1" was not written by this program: a whole number
    // other than 0 counts as on, anything else as off.
    static int StateOf(const std::string& text);
};

}  // namespace velquist
