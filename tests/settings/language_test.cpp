// The gettext layer over the program's own catalogues, as built beside the
// window: choosing a language, its default from the environment, the
// fallback to two letters, and lookups after a change of language.
#include "settings/language.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <string>

namespace vorlane {
namespace {

class Language : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SetCatalogueFolder(VORLANE_CATALOGUES); }
  static void TearDownTestSuite() { SetCatalogueFolder(""); }
  void SetUp() override {
    for (const char* variable : {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
      unsetenv(variable);
    }
  }
};

TEST_F(Language, EmptyCodeTakesTheLanguageOfTheEnvironment) {
  struct Case {
    const char* lang;
    const char* lc_all;
    const char* lc_messages;
    const char* expected;
  };
  const Case cases[] = {
      {"pl_PL.UTF-8", nullptr, nullptr, "pl_PL"},
      {"de_DE@euro", "sv_SE.UTF-8", nullptr, "de_DE"},  // LANG comes first
      {"C.UTF-8", "sv_SE.UTF-8", "hu_HU", "sv_SE"},     // C names no language
      {nullptr, nullptr, "hu_HU.ISO-8859-2", "hu_HU"},
      {"POSIX", "C", "", "en"},
      {nullptr, nullptr, nullptr, "en"},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.lang) setenv("LANG", c.lang, 1);
    if (c.lc_all) setenv("LC_ALL", c.lc_all, 1);
    if (c.lc_messages) setenv("LC_MESSAGES", c.lc_messages, 1);
    UseLanguage("");
    EXPECT_EQ(CurrentLanguage(), c.expected) << (c.lang ? c.lang : "(no LANG)");
  }
}

// Each lookup after a change must see the new catalogue, not a translation
// cached for the previous language.
TEST_F(Language, LookupsFollowEveryChangeOfLanguage) {
  struct Case {
    const char* code;
    const char* input_files;
  };
  const Case cases[] = {
      {"pl", "Pliki wejściowe"},    {"de", "Eingabedateien"}, {"pl_PL", "Pliki wejściowe"},
      {"cz", "Vstupní soubory"},    {"en", "Input files"},    {"ja", "Input files"},
      {"fr_CA", "Fichiers source"}, {"..", "Input files"},    {"de", "Eingabedateien"},
  };
  for (const Case& c : cases) {
    UseLanguage(c.code);
    EXPECT_EQ(CurrentLanguage(), c.code);
    EXPECT_STREQ(Gettext("Input files"), c.input_files) << c.code;
  }
}

TEST_F(Language, MissingEntryOrCatalogueGivesTheIdentifierItself) {
  const char* unknown = "No such text";
  UseLanguage("de");
  EXPECT_EQ(Gettext(unknown), unknown);
  EXPECT_FALSE(InCatalogue(unknown));
  EXPECT_TRUE(InCatalogue("OK"));  // translated into itself, still an entry
  EXPECT_STREQ(Gettext(""), "");   // never the catalogue's header
  UseLanguage("ja");
  EXPECT_FALSE(InCatalogue("OK"));
}

// glibc would ignore the chosen language under the C locale.
TEST_F(Language, ChoosingALanguageWorksUnderTheCLocale) {
  for (const char* c_locale : {"C", "POSIX"}) {
    ASSERT_NE(std::setlocale(LC_MESSAGES, c_locale), nullptr);
    UseLanguage("sv");
    EXPECT_STREQ(Gettext("Input files"), "Indatafiler") << c_locale;
  }
}

TEST_F(Language, LocaleNamesGiveTheirLanguagePart) {
  EXPECT_EQ(LanguageOfLocale("pl_PL.UTF-8@euro"), "pl_PL");
  EXPECT_EQ(LanguageOfLocale("de"), "de");
  EXPECT_EQ(LanguageOfLocale("C.UTF-8"), "");
  EXPECT_EQ(LanguageOfLocale("POSIX"), "");
  EXPECT_EQ(LanguageOfLocale(""), "");
}

}  // namespace
}  // namespace vorlane
