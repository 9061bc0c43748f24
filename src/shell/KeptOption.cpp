// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/KeptOption.h"

#include <charconv>

#include "platform/Platform.h"

namespace velquist {

int KeptOption::Read(Platform& platform) const {
    return StateOf(platform.GetSetting(kApplication, kSection, key_, default_));
}

void KeptOption::Write(Platform& platform, int state) const {
    platform.SaveSetting(kApplication, kSection, key_, std::to_string(state));
}

int KeptOption::StateOf(const std::string& text) {
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
