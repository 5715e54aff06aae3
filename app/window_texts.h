// The interface language and the texts of the windows. Every text a window
// shows to the user (captions, tooltips, list entries) is set from its
// design text through Translated(), in one place per window, so that a
// change of language only has to run that place again. Message box texts
// never pass through here.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace vorlane {

// The text in the current interface language. Without a catalogue for that
// language the design text stands.
QString Translated(const char* design_text);

// The current interface language code ("pl", "en", ...); empty until one is
// chosen.
std::string CurrentInterfaceLanguage();
// Makes code the current interface language.
void UseInterfaceLanguage(const std::string& code);

// The language box's entries in their order; the first two characters of
// each are its code.
const QStringList& LanguageEntries();
// The entry selected when no saved language matches: "en - English".
inline constexpr int kDesignLanguageIndex = 1;

}  // namespace vorlane
