// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QValidator>

namespace velquist {

// Takes only what the chosen format can keep, so nothing typed is lost or changed: for version
// 1 at most 8 printable ASCII characters, for an encrypted message up to 64 of any kind.
class PasswordValidator : public QValidator {
public:
    explicit PasswordValidator(QObject* parent) : QValidator(parent) {}

    void AllowLong(bool allowed) { long_ = allowed; }
    bool Fits(const QString& text) const;
    State validate(QString& input, int&) const override {
        return Fits(input) ? Acceptable : Invalid;
    }

private:
    bool long_ = false;
};

}  // namespace velquist
