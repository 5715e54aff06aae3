#include "app/window_texts.h"

namespace vorlane {

namespace {

std::string& LanguageCodeInForce() {
  static std::string code;
  return code;
}

}  // namespace

QString Translated(const char* design_text) {
  return QString::fromUtf8(design_text);
}

std::string CurrentInterfaceLanguage() {
  return LanguageCodeInForce();
}

void UseInterfaceLanguage(const std::string& code) {
  LanguageCodeInForce() = code;
}

const QStringList& LanguageEntries() {
  static const QStringList entries = {
      QStringLiteral("pl - Polski"),  QStringLiteral("en - English"),
      QStringLiteral("de - Deutsch"), QStringLiteral("it - Italiano"),
      QStringLiteral("es - Espanol"), QStringLiteral("fr - Francais"),
      QStringLiteral("cz - Cestina"), QStringLiteral("id - Indonesia"),
      QStringLiteral("hu - Magyar"),  QStringLiteral("sv - Svenska"),
      QStringLiteral("ro - Roman"),   QStringLiteral("nl - Nederlandse"),
  };
  return entries;
}

}  // namespace vorlane
