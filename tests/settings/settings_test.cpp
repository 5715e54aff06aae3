#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support.h"

namespace vorlane {
namespace {

TProgramSettings Loaded(const std::string& path) {
  TProgramSettings settings;
  LoadSettingsFrom(path, settings);
  return settings;
}

TEST(Settings, MissingFileGivesTheDefaults) {
  TempDir dir;
  const TProgramSettings s = Loaded(dir.path() + "/config.ini");
  EXPECT_EQ(s.Width, 0);
  EXPECT_EQ(s.Height, 0);
  EXPECT_EQ(s.FormatName, "MicroDVD");
  EXPECT_EQ(s.Dir, "");
  EXPECT_EQ(s.Language, "");
  EXPECT_TRUE(s.Backup);
  EXPECT_TRUE(s.Extensions);
  EXPECT_TRUE(s.ExitWhenDone);
}

TEST(Settings, FileWrittenFromScratchHoldsTheSectionsInOrder) {
  TempDir dir;
  const std::string path = dir.path() + "/config.ini";
  TProgramSettings s;
  s.Width = 300;
  s.Height = 420;
  s.FormatName = "SubRipper";
  s.Dir = "/home/me/subs/";
  s.Language = "pl";
  s.Backup = true;
  s.Extensions = false;
  s.ExitWhenDone = true;
  ASSERT_TRUE(SaveSettingsTo(path, s));
  EXPECT_EQ(ReadFileBytes(path),
            "[Window]\nWidth=300\nHeight=420\n\n"
            "[Format]\nName=SubRipper\n\n"
            "[Directory]\nDir=/home/me/subs/\n\n"
            "[Interface]\nLanguage=pl\n\n"
            "[Files]\nBackup=1\nExtensions=0\n\n"
            "[WhenDone]\nExit=1\n");
  const TProgramSettings back = Loaded(path);
  EXPECT_EQ(back.Width, 300);
  EXPECT_EQ(back.Height, 420);
  EXPECT_EQ(back.FormatName, "SubRipper");
  EXPECT_EQ(back.Dir, "/home/me/subs/");
  EXPECT_EQ(back.Language, "pl");
  EXPECT_TRUE(back.Backup);
  EXPECT_FALSE(back.Extensions);
  EXPECT_TRUE(back.ExitWhenDone);
}

TEST(Settings, HandEditedFileIsReadAndUpdatedInPlace) {
  TempDir dir;
  const std::string path = dir.path() + "/config.ini";
  WriteFileBytes(path,
                 "; edited by hand\r\n"
                 "[files]\r\n"
                 "backup=0\r\n"
                 "Extensions=yes\r\n"
                 "[Window]\r\n"
                 "Width=0x200\r\n"
                 "Height=abc\r\n"
                 "[Interface]\r\n"
                 "Language=deutsch\r\n"
                 "[Mine]\r\n"
                 "Keep=this\r\n");
  TProgramSettings s = Loaded(path);
  EXPECT_FALSE(s.Backup);
  EXPECT_TRUE(s.Extensions);  // "yes" is not an integer: the default
  EXPECT_EQ(s.Width, 512);
  EXPECT_EQ(s.Height, 0);
  EXPECT_EQ(s.Language, "de");
  EXPECT_EQ(s.FormatName, "MicroDVD");

  s.Backup = true;
  s.Height = 400;
  ASSERT_TRUE(SaveSettingsTo(path, s));
  EXPECT_EQ(ReadFileBytes(path),
            "; edited by hand\r\n"
            "[files]\r\n"
            "backup=1\r\n"
            "Extensions=1\r\n"
            "[Window]\r\n"
            "Width=512\r\n"
            "Height=400\r\n"
            "[Interface]\r\n"
            "Language=de\r\n"
            "[Mine]\r\n"
            "Keep=this\r\n"
            "\r\n[Format]\r\nName=MicroDVD\r\n"
            "\r\n[Directory]\r\nDir=\r\n"
            "\r\n[WhenDone]\r\nExit=1\r\n");
}

// [Reading] Classic: off by default, and written only once it has been on.
TEST(Settings, ClassicReadingKey) {
  const struct {
    const char* name;
    std::string before;
    bool loaded;
    bool saved_as;
    const char* reading_after;  // the [Reading] part of the file after saving
  } cases[] = {
      {"Absent", "", false, false, ""},
      {"TurnedOff", "[Reading]\nClassic=1\n", true, false, "[Reading]\nClassic=0\n"},
      {"TurnedOn", "", false, true, "[Reading]\nClassic=1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.path() + "/config.ini";
    WriteFileBytes(path, c.before);
    TProgramSettings s = Loaded(path);
    EXPECT_EQ(s.ClassicReading, c.loaded);
    s.ClassicReading = c.saved_as;
    ASSERT_TRUE(SaveSettingsTo(path, s));
    const std::string after = ReadFileBytes(path);
    const std::size_t at = after.find("[Reading]");
    EXPECT_EQ(at == std::string::npos ? "" : after.substr(at, after.find("\n[", at) - at),
              c.reading_after);
    EXPECT_EQ(Loaded(path).ClassicReading, c.saved_as);
  }
}

TEST(Settings, LongFolderAndFormatNameAreStoredWhole) {
  TempDir dir;
  const std::string path = dir.path() + "/config.ini";
  TProgramSettings s = Loaded(path);
  s.Dir = "/" + std::string(400, 'd') + "/";
  s.FormatName = std::string(300, 'F');
  ASSERT_TRUE(SaveSettingsTo(path, s));
  const TProgramSettings back = Loaded(path);
  EXPECT_EQ(back.Dir, s.Dir);
  EXPECT_EQ(back.FormatName, s.FormatName);
}

TEST(Settings, LanguageKeepsTwoCharactersWithoutCuttingOne) {
  EXPECT_EQ(LanguageCode(""), "");
  EXPECT_EQ(LanguageCode("p"), "p");
  EXPECT_EQ(LanguageCode("pl_PL"), "pl");
  EXPECT_EQ(LanguageCode("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t");
}

TEST(Settings, FolderWithALineBreakKeepsTheStoredOne) {
  TempDir dir;
  const std::string path = dir.path() + "/config.ini";
  TProgramSettings s = Loaded(path);
  s.Dir = "/old/";
  ASSERT_TRUE(SaveSettingsTo(path, s));
  s.Dir = "/odd\nname/";
  ASSERT_TRUE(SaveSettingsTo(path, s));
  EXPECT_EQ(Loaded(path).Dir, "/old/");
}

TEST(Settings, ConfigThatCannotBeReadGivesDefaultsAndIsLeftAlone) {
  TempDir dir;
  // A folder where the file should be: it cannot be read or replaced.
  const std::string path = dir.path() + "/config.ini";
  std::filesystem::create_directory(path);
  std::filesystem::create_directory(path + "/inside");
  const TProgramSettings s = Loaded(path);
  EXPECT_TRUE(s.Backup);
  EXPECT_TRUE(s.ExitWhenDone);
  EXPECT_EQ(s.FormatName, "MicroDVD");
  EXPECT_FALSE(SaveSettingsTo(path, s));
  EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
}

TEST(Settings, FailuresAreSilentAndLoseNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempDir dir;
  const std::string locked = dir.path() + "/locked";
  std::filesystem::create_directory(locked);
  const std::string path = locked + "/config.ini";
  const std::string original = "[Files]\nBackup=0\n[Mine]\nKeep=this\n";
  WriteFileBytes(path, original);

  // A file that cannot be read gives the defaults, backups on, and is not
  // overwritten with a file that would lose its other lines.
  ::chmod(path.c_str(), 0);
  EXPECT_TRUE(Loaded(path).Backup);
  EXPECT_FALSE(SaveSettingsTo(path, Loaded(path)));
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(ReadFileBytes(path), original);

  // A folder without write permission and a read-only file: no change.
  ::chmod(path.c_str(), 0444);
  ::chmod(locked.c_str(), 0555);
  TProgramSettings s = Loaded(path);
  s.Backup = true;
  EXPECT_FALSE(SaveSettingsTo(path, s));
  EXPECT_EQ(ReadFileBytes(path), original);
  ::chmod(locked.c_str(), 0755);
}

TEST(Settings, LoadAndSaveUseTheChosenConfigFile) {
  TempDir dir;
  const std::string path = dir.path() + "/config.ini";
  SetConfigFilePath(path);
  EXPECT_EQ(ConfigFilePath(), path);
  ProgramSettings = TProgramSettings{};
  LoadSettings();
  EXPECT_TRUE(ProgramSettings.Backup);
  ProgramSettings.FormatName = "TMPlayer";
  SaveSettings();
  ProgramSettings = TProgramSettings{};
  LoadSettings();
  EXPECT_EQ(ProgramSettings.FormatName, "TMPlayer");

  SetConfigFilePath("");
  const std::string beside_executable = ConfigFilePath();
  EXPECT_EQ(std::filesystem::path(beside_executable).filename(), "config.ini");
  // Run by a user who may not write in the build folder, the file moves to
  // that user's configuration folder.
  const std::filesystem::path program =
      std::filesystem::read_symlink("/proc/self/exe").parent_path();
  if (FolderIsWritable(program.string())) {
    EXPECT_EQ(std::filesystem::path(beside_executable).parent_path(), program);
  } else {
    EXPECT_EQ(std::filesystem::path(beside_executable).parent_path().filename(), "vorlane");
  }
}

TEST(Settings, ConfigFileStaysBesideAWritableProgramElseGoesToTheUserFolder) {
  struct Case {
    bool writable;
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {true, "/x", "/home/u", "/usr/lib/vorlane/config.ini"},
      {false, "/x", "/home/u", "/x/vorlane/config.ini"},
      {false, nullptr, "/home/u", "/home/u/.config/vorlane/config.ini"},
      {false, "", "/home/u", "/home/u/.config/vorlane/config.ini"},
      {false, "relative", "/home/u", "/home/u/.config/vorlane/config.ini"},
      {false, nullptr, nullptr, "/usr/lib/vorlane/config.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConfigFileFor("/usr/lib/vorlane", c.writable, c.xdg, c.home), c.expected)
        << c.writable << " " << (c.xdg ? c.xdg : "(unset)");
  }
}

TEST(Settings, UserConfigFileTakesOverTheProgramsOptionsAndIsCreatedWithItsFolders) {
  TempDir dir;
  const std::string program = dir.path() + "/program";
  std::filesystem::create_directory(program);
  WriteFileBytes(program + "/config.ini", "[Format]\nName=SAMI\n");
  const std::string user = dir.path() + "/home/.config/vorlane/config.ini";

  // No user file yet: the options beside the program are read.
  EXPECT_EQ(ConfigFileToRead(user, program), program + "/config.ini");
  TProgramSettings s = Loaded(ConfigFileToRead(user, program));
  EXPECT_EQ(s.FormatName, "SAMI");
  s.FormatName = "TMPlayer";
  ASSERT_TRUE(SaveSettingsTo(user, s));
  EXPECT_EQ(std::filesystem::status(dir.path() + "/home/.config/vorlane").permissions(),
            std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadFileBytes(program + "/config.ini"), "[Format]\nName=SAMI\n");

  // From then on the user's own file counts.
  EXPECT_EQ(ConfigFileToRead(user, program), user);
  EXPECT_EQ(Loaded(user).FormatName, "TMPlayer");
  EXPECT_EQ(ConfigFileToRead(program + "/config.ini", program), program + "/config.ini");
}

TEST(Settings, FolderIsWritableFollowsPermissions) {
  TempDir dir;
  EXPECT_TRUE(FolderIsWritable(dir.path()));
  EXPECT_FALSE(FolderIsWritable(dir.path() + "/missing"));
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  ::chmod(dir.path().c_str(), 0555);
  EXPECT_FALSE(FolderIsWritable(dir.path()));
  ::chmod(dir.path().c_str(), 0755);
}

}  // namespace
}  // namespace vorlane
