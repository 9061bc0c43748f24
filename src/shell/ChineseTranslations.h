// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace velquist {

// Makes the dialogs Qt draws itself speak Simplified Chinese like the rest of the window,
// whatever the desktop's language. Returns false when the system has no translation installed.
bool LoadChineseTranslations(QCoreApplication& app);

}  // namespace velquist
