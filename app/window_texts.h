// The interface language and the texts of the windows. Each window is
// created with its design texts in English (captions, tooltips, list
// entries, its caption) and then translated as a whole: TranslateComponent
// remembers every design text and shows its translation, and
// RetranslateComponent shows the translations again after a change of
// language. Message box texts never pass through here.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;

namespace vorlane {

// The text in the current interface language. Without a catalogue for that
// language, or without an entry in it, the design text stands.
QString Translated(const char* design_text);

// The current interface language code ("pl", "en", "pl_PL", ...).
std::string CurrentInterfaceLanguage();
// Makes code the current interface language; an empty code takes the
// default from the environment.
void UseInterfaceLanguage(const std::string& code);

// The language box's entries in their order; the first two characters of
// each are its code.
const QStringList& LanguageEntries();
// The entry selected when no saved language matches: "en - English".
inline constexpr int kDesignLanguageIndex = 1;

// Every design text the windows and message boxes show in the interface
// language: the message identifiers that each catalogue translates.
const std::vector<const char*>& WindowTexts();

// The child object that marks a window as translated.
inline constexpr char kTranslatedMarker[] = "GNUgettextMarker";

// Shows the translation of every text of window and of the widgets and
// actions it holds (its caption, captions of labels, buttons and actions,
// tooltips, drop-down list entries), remembering each design text, and
// marks the window as translated. Labels that do not wrap take the size of
// their new text. Object names are never touched. Only for a window that
// does not carry the marker yet: a second call would take the translations
// for design texts.
void TranslateComponent(QWidget& window);
// Shows the translation, in the current language, of every design text
// that TranslateComponent remembered. Only for a window that carries the
// marker.
void RetranslateComponent(QWidget& window);
// RetranslateComponent for a window that carries the marker, else
// TranslateComponent.
void TranslateWindow(QWidget& window);

// The design texts remembered for a translated window, in the order they
// were met; empty for a window not translated.
std::vector<std::string> RememberedTexts(const QWidget& window);

}  // namespace vorlane
