#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vorlane {
namespace {

TEST(ProfileInteger, ReadsDecimalAndHexAndRejectsTheRest) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"  42\t", 42},
      {"-7", -7},
      {"+7", 7},
      {"0x1F", 31},
      {"0XfF", 255},
      {"0xFFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"0x100000000", std::nullopt},
      {"yes", std::nullopt},
      {"", std::nullopt},
      {"12abc", std::nullopt},
      {"1 2", std::nullopt},
      {"0x", std::nullopt},
      {"0x1G", std::nullopt},
      {"$1F", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseProfileInteger(c.text), c.value) << "text: '" << c.text << "'";
  }
}

TEST(IniFileRead, MatchesNamesWithoutCaseAndTakesTheFirstMatch) {
  const IniFile ini(
      "stray=before any section\n"
      "[Window]\n"
      "; Width=1 is a comment\n"
      "  WIDTH =  300  \n"
      "width=999\n"
      "[window]\n"
      "Height=5\n"
      "[Format]\n"
      "Name=SubRipper\n");
  EXPECT_EQ(ini.Value("window", "width"), "300");
  // Only the first [window] section is looked at.
  EXPECT_EQ(ini.Value("Window", "Height"), std::nullopt);
  EXPECT_EQ(ini.Value("FORMAT", "name"), "SubRipper");
  EXPECT_EQ(ini.Value("Format", "Missing"), std::nullopt);
  EXPECT_EQ(ini.Value("Nowhere", "Name"), std::nullopt);
  EXPECT_EQ(ini.Value("", "stray"), std::nullopt);
}

TEST(IniFileRead, HandlesByteOrderMarkAndEveryLineEnding) {
  const IniFile ini("\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\ry=2\r[C]\nz=3");
  EXPECT_EQ(ini.ReadInteger("A", "x", -1), 1);
  EXPECT_EQ(ini.ReadInteger("B", "y", -1), 2);
  EXPECT_EQ(ini.ReadInteger("C", "z", -1), 3);
}

TEST(IniFileWrite, ReplacesInPlaceAndKeepsEveryOtherLine) {
  IniFile ini(
      "; my notes\r\n"
      "[Window]\r\n"
      "  width = 300\r\n"
      "Custom=keep me\r\n"
      "\r\n"
      "[Other]\r\n"
      "garbage line without equals\r\n");
  EXPECT_TRUE(ini.WriteString("WINDOW", "Width", "640"));
  EXPECT_EQ(ini.Text(),
            "; my notes\r\n"
            "[Window]\r\n"
            "  width = 640\r\n"
            "Custom=keep me\r\n"
            "\r\n"
            "[Other]\r\n"
            "garbage line without equals\r\n");
}

TEST(IniFileWrite, AddsKeysAtTheEndOfTheirSectionAndNewSectionsAtTheEnd) {
  IniFile ini("[Window]\nWidth=1\n\n[Files]\nBackup=1");
  ini.WriteInteger("Window", "Height", 2);
  ini.WriteBool("Files", "Extensions", false);
  ini.WriteString("WhenDone", "Exit", "1");
  EXPECT_EQ(ini.Text(),
            "[Window]\nWidth=1\nHeight=2\n\n"
            "[Files]\nBackup=1\nExtensions=0\n"
            "\n[WhenDone]\nExit=1\n");
}

TEST(IniFileWrite, NewLinesTakeTheFilesOwnLineEnding) {
  IniFile ini("[A]\r\nx=1\r\n");
  ini.WriteString("B", "y", "2");
  EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  IniFile empty;
  empty.WriteString("A", "x", "1");
  EXPECT_EQ(empty.Text(), "[A]\nx=1\n");
}

TEST(IniFileWrite, RefusesWhatCannotReadBackAsWritten) {
  IniFile ini("[A]\nx=1\n");
  EXPECT_FALSE(ini.WriteString("A", "x", "two\nlines"));
  EXPECT_FALSE(ini.WriteString("A", "x", "cr\rhere"));
  EXPECT_FALSE(ini.WriteString("A", "k=v", "1"));
  EXPECT_FALSE(ini.WriteString("A", ";k", "1"));
  EXPECT_FALSE(ini.WriteString("A", "", "1"));
  EXPECT_FALSE(ini.WriteString("A]", "x", "1"));
  EXPECT_FALSE(ini.WriteString("", "x", "1"));
  EXPECT_EQ(ini.Text(), "[A]\nx=1\n");
  // Values with "=" or ";" are fine: only the first "=" splits a line.
  EXPECT_TRUE(ini.WriteString("A", "x", "a=b;c"));
  EXPECT_EQ(IniFile(ini.Text()).Value("A", "x"), "a=b;c");
}

}  // namespace
}  // namespace vorlane
