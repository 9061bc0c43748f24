#include "shell/ClearBmpOption.h"

#include <charconv>

#include "platform/Platform.h"

namespace velquist {

int ClearBmpOption::Read(Platform& platform) {
    return StateOf(platform.GetSetting(kApplication, kSection, kKey, kDefault));
}

void ClearBmpOption::Write(Platform& platform, int state) {
    platform.SaveSetting(kApplication, kSection, kKey, std::to_string(state));
}

int ClearBmpOption::StateOf(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range && end == last) return 1;
    if (error != std::errc() || end != last) return 0;
    return value != 0 ? 1 : 0;
}

}  // namespace velquist
