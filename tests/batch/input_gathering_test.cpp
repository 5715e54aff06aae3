#include "batch/input_gathering.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

TEST(SubtitleExtensions, AreTheFourteenSorted) {
  EXPECT_EQ(SubtitleExtensions(), (Paths{".bak", ".dks", ".js", ".lrc", ".ovr", ".psb", ".smi",
                                         ".son", ".srt", ".ssa", ".sst", ".stl", ".sub", ".txt"}));
}

TEST(IsSubtitleFile, ComparesTheFileNamesExtensionWithoutCase) {
  struct Case {
    const char* path;
    bool accepted;
  };
  const Case cases[] = {
      {"/s/film.srt", true},   {"/s/FILM.SRT", true},
      {"/s/film.Sub", true},   {"film.js", true},
      {"/s/old.bak", true},    {"/s/a.b.txt", true},
      {"/s/film.jss", false},  {"/s/film.srt.avi", false},
      {"/s/film", false},      {"/s/film.", false},
      {"/s.srt/film", false},  {"/s.srt/", false},
      {"/s/film.srt ", false}, {"", false},
      {"/s/.srt", true},       {"/s/film.SsT", true},
  };
  for (const Case& c : cases) EXPECT_EQ(isSubtitleFile(c.path), c.accepted) << c.path;
}

TEST(IsSubtitleFile, TakesTheNewFormatsExtensionsUnlessClassic) {
  for (const char* path :
       {"/s/a.ass", "/s/A.VTT", "/s/a.Ttml", "/s/a.dfxp", "/s/a.SBV", "/s/a.ttxt"}) {
    EXPECT_TRUE(isSubtitleFile(path)) << path;
    EXPECT_FALSE(isSubtitleFile(path, true)) << path;
  }
  EXPECT_TRUE(isSubtitleFile("/s/a.ssa", true));
  EXPECT_FALSE(isSubtitleFile("/s/a.xml"));
}

class GatheringTest : public testing::Test {
 protected:
  void File(const std::string& relative) {
    const fs::path path = fs::path(dir_.path()) / relative;
    fs::create_directories(path.parent_path());
    WriteFileBytes(path.string(), "x");
  }
  std::string At(const std::string& relative) const { return dir_.path() + "/" + relative; }

  TempDir dir_;
};

TEST_F(GatheringTest, FileLookKeepsRealNamesSkipsDotNamesAndGoesDepthFirst) {
  File("Subs/Season1/EP01.SRT");
  File("Subs/Season1/ep02.srt");
  File("Subs/Season1/film.avi");
  File("Subs/b.txt");
  File("Subs/A.sub");
  File("Subs/.hidden.srt");
  File("Subs/.old/x.srt");
  File("Subs/noext");
  File("Subs/Deep/er/er/c.LRC");
  fs::create_directories(At("Subs/folder.srt"));  // a folder is never taken as a file

  Paths list{"earlier entry"};
  FileLook(At("Subs"), list);
  EXPECT_EQ(list,
            (Paths{"earlier entry", At("Subs/A.sub"), At("Subs/b.txt"), At("Subs/Deep/er/er/c.LRC"),
                   At("Subs/Season1/EP01.SRT"), At("Subs/Season1/ep02.srt")}));
}

TEST_F(GatheringTest, FileLookDoesNotFollowLinksToFoldersButTakesLinksToFiles) {
  File("Subs/inner/a.srt");
  File("elsewhere/b.srt");
  fs::create_directory_symlink(At("Subs"), At("Subs/inner/loop"));        // to a parent
  fs::create_directory_symlink(At("elsewhere"), At("Subs/outside"));      // to another tree
  fs::create_symlink(At("elsewhere/b.srt"), At("Subs/linked.srt"));       // to a file
  fs::create_symlink(At("elsewhere/gone.srt"), At("Subs/dangling.srt"));  // to nothing

  Paths list;
  FileLook(At("Subs"), list);
  EXPECT_EQ(list, (Paths{At("Subs/inner/a.srt"), At("Subs/linked.srt")}));
}

TEST_F(GatheringTest, FileLookPassesOverWhatCannotBeListed) {
  File("Subs/a.srt");
  File("Subs/locked/b.srt");
  ASSERT_EQ(::chmod(At("Subs/locked").c_str(), 0), 0);
  Paths list;
  FileLook(At("Subs"), list);
  ::chmod(At("Subs/locked").c_str(), 0755);
  // A privileged user can list the folder all the same.
  if (::geteuid() == 0) {
    EXPECT_EQ(list, (Paths{At("Subs/a.srt"), At("Subs/locked/b.srt")}));
  } else {
    EXPECT_EQ(list, (Paths{At("Subs/a.srt")}));
  }

  Paths none;
  FileLook(At("missing"), none);
  FileLook(At("Subs/a.srt"), none);  // a file, not a folder
  EXPECT_TRUE(none.empty());
}

TEST_F(GatheringTest, FileLookWithTrailingSeparatorFormsSinglePaths) {
  File("Subs/a.srt");
  Paths list;
  FileLook(At("Subs/"), list);
  EXPECT_EQ(list, (Paths{At("Subs/a.srt")}));
}

TEST_F(GatheringTest, ClassicFolderSearchKeepsToTheFourteenAllTheWayDown) {
  File("Subs/b.vtt");
  File("Subs/c.srt");
  File("Subs/d.scc");
  File("Subs/x/a.ASS");
  Paths all, classic;
  QueryFile(At("Subs"), all);
  QueryFile(At("Subs"), classic, true);
  EXPECT_EQ(all, (Paths{At("Subs/b.vtt"), At("Subs/c.srt"), At("Subs/d.scc"), At("Subs/x/a.ASS")}));
  EXPECT_EQ(classic, (Paths{At("Subs/c.srt")}));
}

TEST_F(GatheringTest, QueryFileTakesFoldersByFilterAndFilesByExtension) {
  File("Subs/a.srt");
  File("Subs/b.avi");
  File("film.AVI");
  File("FILM.SRT");
  Paths list;
  QueryFile(At("Subs"), list);
  QueryFile(At("FILM.SRT"), list);
  QueryFile(At("FILM.SRT"), list);     // twice named, twice listed
  QueryFile(At("missing.sub"), list);  // existence is not tested
  QueryFile(At("film.AVI"), list);     // not a subtitle extension
  QueryFile(At("missing"), list);
  QueryFile("", list);
  EXPECT_EQ(list, (Paths{At("Subs/a.srt"), At("FILM.SRT"), At("FILM.SRT"), At("missing.sub")}));
}

TEST_F(GatheringTest, QueryFileTakesLongPathsWhole) {
  std::string relative;
  for (int i = 0; i < 6; ++i) relative += std::string(60, static_cast<char>('a' + i)) + "/";
  relative += std::string(100, 'z') + ".srt";
  File(relative);
  ASSERT_GT(At(relative).size(), 400u);

  Paths list;
  QueryFile(At(relative), list);
  QueryFile(dir_.path(), list);
  EXPECT_EQ(list, (Paths{At(relative), At(relative)}));
}

TEST(FullPath, MakesPathsAbsoluteWithoutResolvingLinks) {
  const std::string cwd = fs::current_path().string();
  const std::string root = cwd == "/" ? "" : cwd;
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"film.srt", root + "/film.srt"},
      {"./subs//film.srt", root + "/subs/film.srt"},
      {"../film.srt", root + "/../film.srt"},
      {"/a/./b/", "/a/b"},
      {"/", "/"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FullPath(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace vorlane
