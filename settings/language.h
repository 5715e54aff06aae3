// The interface language: which GNU gettext catalogue the window texts are
// looked up in. Plain C++ over the C library's libintl; the windows build
// their translation on top of it.
//
// The catalogues are locale/<code>/LC_MESSAGES/default.mo in the folder
// that holds the executable, one per language code, text domain "default".
// The current language is process-wide state, set at start from the
// settings (or the environment) and changed by the language box.
#pragma once

#include <string>

namespace vorlane {

inline constexpr char kTextDomain[] = "default";

// Makes code the current language. A code longer than two letters falls
// back to its first two ("pl_PL" finds the "pl" catalogue). An empty code
// takes the default: the language of LANG or, when LANG names none, of the
// user's locale (LC_ALL, LC_MESSAGES), as language_COUNTRY; "en" when none
// of them names a language (unset, C or POSIX).
void UseLanguage(const std::string& code);

// The current language code; the default until UseLanguage names another.
std::string CurrentLanguage();

// The translation of msgid in the current language, or msgid itself when
// the language has no catalogue or the catalogue no entry for it. The
// result is UTF-8 and lives as long as the program.
const char* Gettext(const char* msgid);

// True when the current language's catalogue has an entry for msgid (an
// entry may translate a text into itself).
bool InCatalogue(const char* msgid);

// Where the catalogues are looked for: the folder "locale" beside the
// executable, unless another folder was set. An empty folder restores it.
std::string CatalogueFolder();
void SetCatalogueFolder(const std::string& folder);

// The language part of a locale name: "pl_PL.UTF-8@euro" gives "pl_PL";
// "C", "POSIX" and their variants give "", as they name no language.
std::string LanguageOfLocale(const std::string& locale_name);

}  // namespace vorlane
