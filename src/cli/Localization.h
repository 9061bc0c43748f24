// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist::cli {

enum class Language { English, Chinese };

// The language the environment asks for: Chinese when the first of LANGUAGE (its first entry),
// LC_ALL, LC_MESSAGES and LANG that is set names a zh locale, English otherwise. Null stands
// for an unset variable.
Language LanguageOf(const char* language, const char* lcAll, const char* lcMessages,
                    const char* lang);
Language LanguageFromEnvironment();

// Where the catalogs are: share/locale beside the program's own folder when installed,
// otherwise the build tree's.
std::string CatalogFolder();

// Makes Tr() answer in `language`, with the catalogs under `catalogFolder`. Works even where
// no Chinese locale is generated: the messages then come under C.UTF-8.
void UseLanguage(Language language, const std::string& catalogFolder);

// The message for the English message id `msgid`, in the language in use.
const char* Tr(const char* msgid);
std::string Tr(const std::string& msgid);

}  // namespace velquist::cli
