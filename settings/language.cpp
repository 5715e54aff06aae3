#include "settings/language.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "settings/settings.h"

// glibc's counter of catalogue changes: every cached translation older than
// its value is looked up again.
extern "C" int _nl_msg_cat_cntr;

namespace vorlane {

namespace {

struct LanguageState {
  bool chosen = false;  // false until the first UseLanguage
  std::string code;
  std::string folder_override;
  bool bound = false;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

void BindCatalogues() {
  LanguageState& state = State();
  if (state.bound) return;
  bindtextdomain(kTextDomain, CatalogueFolder().c_str());
  // The windows take UTF-8 whatever the locale's character set.
  bind_textdomain_codeset(kTextDomain, "UTF-8");
  state.bound = true;
}

// glibc ignores LANGUAGE while the messages locale is "C" (or "POSIX",
// which it reports as "C"), and shows no translation at all then; C.UTF-8
// is the same locale as far as the program is concerned and lets LANGUAGE
// choose the catalogue.
void LetLanguageChooseTheCatalogue() {
  const char* messages = std::setlocale(LC_MESSAGES, nullptr);
  if (messages == nullptr || std::strcmp(messages, "C") == 0 ||
      std::strcmp(messages, "POSIX") == 0) {
    std::setlocale(LC_MESSAGES, "C.UTF-8");
  }
}

// A language code as one entry of LANGUAGE: only names that cannot leave
// the catalogue folder (the code may come from a hand-edited config.ini).
bool SafeEntry(const std::string& entry) {
  return !entry.empty() && entry[0] != '.' && entry.find('/') == std::string::npos &&
         entry.find(':') == std::string::npos;
}

// The value of LANGUAGE for code: the code, then its first two letters.
// "C" ends the search at once, so a code without a safe catalogue name
// shows the design texts rather than whatever the locale would pick.
std::string LanguageList(const std::string& code) {
  std::string list;
  if (SafeEntry(code)) list = code;
  const std::string two = code.substr(0, 2);
  if (code.size() > 2 && SafeEntry(two)) list += (list.empty() ? "" : ":") + two;
  return list.empty() ? "C" : list;
}

std::string DefaultLanguage() {
  for (const char* variable : {"LANG", "LC_ALL", "LC_MESSAGES"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr) continue;
    const std::string language = LanguageOfLocale(value);
    if (!language.empty()) return language;
  }
  return "en";
}

void EnsureChosen() {
  if (!State().chosen) UseLanguage("");
}

}  // namespace

std::string LanguageOfLocale(const std::string& locale_name) {
  const std::string language = locale_name.substr(0, locale_name.find_first_of(".@"));
  if (language == "C" || language == "POSIX") return "";
  return language;
}

void UseLanguage(const std::string& code) {
  LanguageState& state = State();
  state.code = code.empty() ? DefaultLanguage() : code;
  state.chosen = true;
  BindCatalogues();
  LetLanguageChooseTheCatalogue();
  setenv("LANGUAGE", LanguageList(state.code).c_str(), 1);
  ++_nl_msg_cat_cntr;
}

std::string CurrentLanguage() {
  EnsureChosen();
  return State().code;
}

const char* Gettext(const char* msgid) {
  // The empty identifier would give the catalogue's header.
  if (msgid == nullptr || *msgid == '\0') return msgid;
  EnsureChosen();
  return dgettext(kTextDomain, msgid);
}

bool InCatalogue(const char* msgid) {
  return Gettext(msgid) != msgid;
}

std::string CatalogueFolder() {
  const std::string& folder = State().folder_override;
  return folder.empty() ? ExecutableFolder() + "/locale" : folder;
}

void SetCatalogueFolder(const std::string& folder) {
  LanguageState& state = State();
  state.folder_override = folder;
  state.bound = false;
  BindCatalogues();
  ++_nl_msg_cat_cntr;
}

}  // namespace vorlane
