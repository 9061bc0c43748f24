// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PasswordValidator.h"

#include "engine/format/PasswordRule.h"

namespace velquist {

bool PasswordValidator::Fits(const QString& text) const {
    QByteArray utf8 = text.toUtf8();
    std::string_view typed(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return long_ ? password_rule::CharacterCount(typed) <= password_rule::kVersion2Longest
                 : password_rule::FitsVersion1(typed);
}

}  // namespace velquist
