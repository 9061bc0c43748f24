// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Localization.h"

#include <libintl.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>


namespace velquist::cli {

namespace {

constexpr const char* kDomain = "velquist-cli";
constexpr const char* kCatalog = "zh_CN/LC_MESSAGES/velquist-cli.mo";

Language current = Language::English;

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// glibc looks at LANGUAGE only when the messages' locale is not plain "C".
void EnsureMessagesLocale() {
    const char* all = ::setlocale(LC_ALL, "");
    const char* messages = ::setlocale(LC_MESSAGES, nullptr);
    if (all == nullptr || messages == nullptr || std::strcmp(messages, "C") == 0 ||
        std::strcmp(messages, "POSIX") == 0)
        ::setlocale(LC_MESSAGES, "C.UTF-8");
}

}  // namespace

Language LanguageOf(const char* language, const char* lcAll, const char* lcMessages,
                    const char* lang) {
    for (const char* value : {language, lcAll, lcMessages, lang}) {
        if (IsSet(value)) return std::strncmp(value, "zh", 2) == 0 ? Language::Chinese : Language::English;
    }
    return Language::English;
}

Language LanguageFromEnvironment() {
    return LanguageOf(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                      std::getenv("LANG"));
}

std::string CatalogFolder() {
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        auto installed = program.parent_path().parent_path() / "share/locale";
        if (std::filesystem::exists(installed / kCatalog, error)) return installed.string();
    }
    return VELQUIST_BUILD_LOCALE_DIR;
}

void UseLanguage(Language language, const std::string& catalogFolder) {
    current = language;
    if (language == Language::English) return;
    EnsureMessagesLocale();
    ::setenv("LANGUAGE", "zh_CN", 1);
    ::bindtextdomain(kDomain, catalogFolder.c_str());
    ::bind_textdomain_codeset(kDomain, "UTF-8");
}

// English is the message ids themselves: nothing to look up, whatever LANGUAGE says.
const char* Tr(const char* msgid) {
    return current == Language::Chinese ? ::dgettext(kDomain, msgid) : msgid;
}

std::string Tr(const std::string& msgid) { return Tr(msgid.c_str()); }

}  // namespace velquist::cli
