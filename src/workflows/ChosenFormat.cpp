// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/ChosenFormat.h"

#include "workflows/MainView.h"

namespace velquist {

int ChosenFormat(const MainView& view) {
    if (!view.PasswordTicked() || !view.EncryptTicked()) return 1;
    return view.StealthTicked() ? 3 : 2;
}

}  // namespace velquist
