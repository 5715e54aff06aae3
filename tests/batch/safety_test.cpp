// A run never destroys a file it did not make. Each case sets up a folder,
// runs the batch and then checks three things: the bytes of every file that
// was there before exist exactly once (in place or in a BAK folder), unless
// the case names it as one the run was asked to replace; nothing else was
// changed; and no temporary file is left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/input_gathering.h"
#include "batch/video_probe.h"
#include "subtitles/pending_file.h"
#include "tests/support.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

class Front : public BatchFrontEnd {
 public:
  Paths entries;
  bool backup = true;
  bool force = true;
  double rate = 0;
  std::vector<SkipNotice> skips;
  std::vector<std::pair<std::string, std::string>> abandoned;

  std::optional<std::string> EntryAt(int i) override {
    if (i < 0 || i >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<std::size_t>(i)];
  }
  bool BackupOn() override { return backup; }
  bool ForceExtensionOn() override { return force; }
  double AskFrameRate(const std::string&) override { return rate; }
  void ReportCorruptedFile(const std::string&) override {}
  void ShowSkippedFiles(const Paths&) override {}
  void SetProgress(int, int) override {}
  void ProcessEvents() override {}
  void FileAbandoned(const std::string& path, const std::string& why) override {
    abandoned.emplace_back(path, why);
  }
  void FileSkipped(const SkipNotice& notice) override { skips.push_back(notice); }
};

std::string Srt(const std::string& text) {
  return "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + text + "\r\n\r\n";
}
std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}
std::string Avi(std::uint32_t rate) {
  std::string header(64, '\0');
  header.replace(20, 4, Le32(1));
  header.replace(24, 4, Le32(rate));
  return "RIFF" + Le32(200) + "AVI LIST" + Le32(100) + "hdrlstrh" + Le32(56) + header;
}

struct Case {
  const char* name;
  std::map<std::string, std::string> files;  // relative path: bytes
  Paths entries;                             // relative; "*" + folder: FileLook of it
  TSubtitleFormat format;
  bool backup;
  bool force;
  std::string output_folder;
  double rate;  // what the user answers, and the fallback rate
  Paths written;
  Paths abandoned;
  std::vector<SkipReason> skips;
  Paths replaced;                             // files the run was asked to replace
  std::map<std::string, std::string> expect;  // relative path: bytes afterwards
  std::function<void(const std::string& dir)> prepare = nullptr;
  bool classic = false;
  std::function<void(TSubtitles&)> transform = nullptr;
  std::map<std::string, std::string> subfolders = {};  // entry: folder below the output folder
  Paths named_twice = {};
};

class SafetyTest : public testing::Test {
 protected:
  std::string At(const std::string& relative) const { return dir_.path() + "/" + relative; }

  Paths AllFiles() const {
    Paths files;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
      // A link is no copy of the bytes it names.
      if (entry.is_regular_file(ignored_) && !entry.is_symlink(ignored_)) {
        files.push_back(entry.path().string());
      }
    }
    return files;
  }

  void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    const std::string root = std::string(c.name) + "/";
    for (const auto& [path, bytes] : c.files) {
      fs::create_directories(fs::path(At(root + path)).parent_path());
      WriteFileBytes(At(root + path), bytes);
    }
    fs::create_directories(At(root));
    if (c.prepare) c.prepare(At(root));
    Front front;
    front.backup = c.backup;
    front.force = c.force;
    front.rate = c.rate;
    for (const std::string& entry : c.entries) {
      if (entry[0] == '*') {
        FileLook(At(root + entry.substr(1)), front.entries);
      } else {
        front.entries.push_back(At(root + entry));
      }
    }
    BatchOptions options;
    if (!c.output_folder.empty()) options.output_folder = At(root + c.output_folder);
    options.fallback_frame_rate = c.rate;
    options.classic_reading = c.classic;
    options.transform = c.transform;
    for (const auto& [entry, folder] : c.subfolders)
      options.output_subfolders[At(root + entry)] = folder;
    const BatchResult result =
        ConvertAll(static_cast<int>(front.entries.size()), c.format, front, options);

    auto full = [&](const Paths& relative) {
      Paths out;
      for (const auto& p : relative) out.push_back(At(root + p));
      return out;
    };
    EXPECT_EQ(result.written, full(c.written));
    EXPECT_EQ(result.abandoned, full(c.abandoned));
    EXPECT_EQ(result.named_twice, full(c.named_twice));
    std::vector<SkipReason> skips;
    for (const auto& notice : front.skips) skips.push_back(notice.reason);
    EXPECT_EQ(skips, c.skips);
    // A message about a collision names both files.
    for (const auto& [path, why] : front.abandoned) {
      if (why.find("would replace") == std::string::npos) continue;
      EXPECT_NE(why.find(At(root)), std::string::npos) << why;
    }
    for (const auto& [path, bytes] : c.expect) EXPECT_EQ(ReadFileBytes(At(root + path)), bytes);

    Paths files;
    for (const auto& file : AllFiles()) {
      if (file.rfind(At(root), 0) == 0) files.push_back(file);
    }
    for (const auto& [path, bytes] : c.files) {
      if (std::find(c.replaced.begin(), c.replaced.end(), path) != c.replaced.end()) continue;
      int copies = 0;
      for (const auto& file : files) {
        const bool output =
            std::find(result.written.begin(), result.written.end(), file) != result.written.end();
        copies += !output && ReadFileBytes(file) == bytes ? 1 : 0;
      }
      EXPECT_EQ(copies, 1) << "copies of " << path;
      const bool in_place = ReadFileBytes(At(root + path)) == bytes;
      EXPECT_TRUE(in_place || !fs::exists(At(root + path)) ||
                  std::find(result.written.begin(), result.written.end(), At(root + path)) !=
                      result.written.end())
          << path << " changed and is no output of the run";
    }
    for (const auto& file : files) {
      EXPECT_FALSE(IsTemporaryName(fs::path(file).filename().string())) << "left: " << file;
    }
  }

  TempDir dir_;
  mutable std::error_code ignored_;
};

TEST_F(SafetyTest, NoRunDestroysAFileItDidNotMake) {
  const std::string mine = Srt("hand-made");
  const std::string sub = "{25}{50}from the sub\r\n";
  const std::string bak_txt = "00:00:01:the only copy\r\n";
  const std::string long_name = std::string(250, 'n') + ".srt";
  const auto fifo = [](const std::string& dir) {
    ASSERT_EQ(::mkfifo((dir + "x.srt").c_str(), 0644), 0);
  };
  const std::string ass_header =
      "[Script Info]\r\nTitle: x\r\n\r\n[Events]\r\nFormat: Layer, Start, End, Style, Name, "
      "MarginL, MarginR, MarginV, Effect, Text\r\n";
  const std::string nul_cut = Srt("A") + std::string(1, '\0') + Srt("lost");
  const auto shift_back = [](TSubtitles& doc) {
    for (SubtitleCue& cue : doc.Cues) cue.Start -= 10000, cue.Stop -= 10000;
  };
  const auto make_out = [](const std::string& dir) { fs::create_directories(dir + "out"); };
  const auto link_b = [](const std::string& dir) {
    ASSERT_EQ(::symlink("a.srt", (dir + "b.srt").c_str()), 0);
  };
  const auto relative_link = [](const std::string& dir) {
    fs::create_directories(dir + "subs");
    ASSERT_EQ(::symlink("../real/a.srt", (dir + "subs/a.srt").c_str()), 0);
  };
  using R = SkipReason;
  // Fields: name; files before; entries ("*": the folder searched); format,
  // backup, force extension, output folder, rate; written, abandoned,
  // skipped; files the run was asked to replace; bytes expected afterwards.
  // clang-format off
  const Case cases[] = {
      // An existing output that is no input goes into BAK, like the source.
      {"OutputBesideIsKept", {{"a.sub", sub}, {"a.srt", mine}}, {"a.sub"},
       sfSubRipper, true, true, "", 25, {"a.srt"}, {}, {}, {},
       {{"BAK/a.srt", mine}, {"BAK/a.sub", sub}}},
      // An output never takes the place of another input not yet converted.
      {"OutputIsAnotherInput", {{"a.sub", sub}, {"a.srt", mine}}, {"a.sub", "a.srt"},
       sfSubRipper, true, true, "", 25, {"a.srt"}, {"a.sub"}, {}, {}, {{"a.sub", sub}}},
      {"OutputIsAnotherInputNoBackup", {{"a.sub", sub}, {"a.srt", mine}}, {"a.sub", "a.srt"},
       sfSubRipper, false, true, "", 25, {"a.srt"}, {"a.sub"}, {}, {"a.srt"}, {{"a.sub", sub}}},
      {"FolderIntoDvdSubtitle", {{"a.sub", sub}, {"a.srt", mine}}, {"*"},
       sfDVDSubtitle, true, true, "", 25, {"a.sub"}, {"a.srt"}, {}, {}, {{"a.srt", mine}}},
      // An older output in the output folder is kept in that folder's BAK;
      // with backups off the user turned the safety off: replaced.
      {"OutputFolderKeepsOlderOutput", {{"a.srt", mine}, {"out/a.txt", bak_txt}}, {"a.srt"},
       sfMPL2, true, true, "out", 0, {"out/a.txt"}, {}, {}, {}, {{"out/BAK/a.txt", bak_txt}}},
      {"NoBackupReplacesOlderOutput", {{"a.srt", mine}, {"out/a.txt", bak_txt}}, {"a.srt"},
       sfMPL2, false, true, "out", 0, {"out/a.txt"}, {}, {}, {"out/a.txt"}, {}},
      // The folder search leaves BAK alone; named, its output cannot replace
      // a file inside BAK.
      {"BakIsNotSearched",
       {{"a.srt", mine}, {"BAK/a.srt", Srt("old")}, {"BAK/a.txt", bak_txt}}, {"*"},
       sfMPL2, true, true, "", 0, {"a.txt"}, {}, {}, {}, {{"BAK/a.txt", bak_txt}}},
      {"NoOutputIntoBak", {{"BAK/a.srt", Srt("old")}, {"BAK/a.txt", bak_txt}}, {"BAK/a.srt"},
       sfMPL2, true, true, "", 0, {}, {"BAK/a.srt"}, {}, {}, {{"BAK/a.txt", bak_txt}}},
      // Not regular files are refused without being opened: no hang.
      {"Fifo", {{"y.srt", mine}}, {"x.srt", "y.srt"},
       sfMPL2, true, true, "", 0, {"y.txt"}, {}, {R::kNotRegularFile}, {}, {}, fifo},
      // A rate that cannot make a frame number is an error, never an empty
      // output; read at such a rate every frame is at 0, but no cue is lost.
      {"AbsurdRateForFrameOutput", {{"a.srt", mine}}, {"a.srt"},
       sfMicroDVD, false, false, "", 1e19, {}, {"a.srt"}, {}, {}, {{"a.srt", mine}}},
      {"AbsurdRateForFrameInput", {{"a.sub", sub}}, {"a.sub"},
       sfSubRipper, false, false, "", 1e19, {"a.sub"}, {}, {}, {"a.sub"},
       {{"a.sub", "1\r\n00:00:00,000 --> 00:00:00,000\r\nfrom the sub\r\n\r\n"}}},
      // A write that fails leaves the source in its place.
      {"OutputNameIsAFolder", {{"a.srt", mine}, {"a.txt/keep", bak_txt}}, {"a.srt"},
       sfMPL2, true, true, "", 0, {}, {"a.srt"}, {}, {}, {{"a.srt", mine}}},
      {"LongestName", {{long_name, mine}}, {long_name},
       sfMPL2, true, true, "", 0, {std::string(250, 'n') + ".txt"}, {}, {}, {},
       {{"BAK/" + long_name, mine}}},
      // Messages say what happened to files never read.
      {"MissingAndNamedTwice", {{"a.srt", mine}}, {"gone.srt", "a.srt", "a.srt", "a.srt/x.srt"},
       sfMPL2, true, true, "", 0, {"a.txt"}, {}, {R::kNotFound, R::kNotFound},
       {}, {}, nullptr, false, nullptr, {}, {"a.srt"}},
      // Named again by another path to the same file: read once, a note.
      {"NamedTwiceThroughALink", {{"a.srt", mine}}, {"a.srt", "b.srt"},
       sfMPL2, false, false, "", 0, {"a.srt"}, {}, {}, {"a.srt"}, {{"a.srt", "[10][20]hand-made\r\n"}},
       link_b, false, nullptr, {}, {"b.srt"}},
      // No output without a cue takes the place of anything, whatever the
      // reader; an empty file is empty, not corrupted.
      {"EveryCueBeforeZero", {{"a.srt", mine}}, {"a.srt"},
       sfSubRipper, false, false, "", 0, {}, {}, {R::kNothingToWrite}, {}, {{"a.srt", mine}},
       nullptr, false, shift_back},
      {"HeaderOnlyAss", {{"a.ass", ass_header}}, {"a.ass"},
       sfSubRipper, false, false, "", 0, {}, {}, {R::kNothingToWrite}, {}, {{"a.ass", ass_header}}},
      {"HeaderOnlyAssBesideIsNotWritten", {{"a.ass", ass_header}}, {"a.ass"},
       sfSubRipper, true, true, "", 0, {}, {}, {R::kNothingToWrite}, {}, {}},
      {"EmptyAndBlank", {{"a.srt", ""}, {"b.srt", "\r\n \n\t\n"}}, {"a.srt", "b.srt"},
       sfMPL2, false, false, "", 0, {}, {}, {R::kEmpty, R::kEmpty}, {}, {}},
      // Classic outputs stay as they were, but where they would replace a
      // file no backup keeps.
      {"ClassicNothingToWriteOverTheSource", {{"a.srt", mine}}, {"a.srt"},
       sfSubRipper, false, false, "", 0, {}, {}, {R::kNothingToWrite}, {}, {{"a.srt", mine}},
       nullptr, true, shift_back},
      {"ClassicNothingToWriteIntoANewFile", {{"a.srt", mine}}, {"a.srt"},
       sfMPL2, false, true, "", 0, {"a.txt"}, {}, {}, {}, {{"a.txt", ""}, {"a.srt", mine}},
       nullptr, true, shift_back},
      {"ClassicNulCutOverTheSource", {{"a.srt", nul_cut}}, {"a.srt"},
       sfSubRipper, false, false, "", 0, {}, {}, {R::kTextAfterNul}, {}, {{"a.srt", nul_cut}},
       nullptr, true},
      {"ClassicNulCutKeptInBak", {{"a.srt", nul_cut}}, {"a.srt"},
       sfSubRipper, true, false, "", 0, {"a.srt"}, {}, {}, {}, {{"BAK/a.srt", nul_cut}},
       nullptr, true},
      // The output folder mirrors the folders searched.
      {"OutputFolderMirrorsTheTree", {{"s/S01/e.srt", mine}, {"s/S02/e.srt", Srt("two")}},
       {"s/S01/e.srt", "s/S02/e.srt"}, sfMPL2, true, true, "out", 0,
       {"out/S01/e.txt", "out/S02/e.txt"}, {}, {}, {}, {{"out/S02/e.txt", "[10][20]two\r\n"}},
       make_out, false, nullptr, {{"s/S01/e.srt", "S01"}, {"s/S02/e.srt", "S02"}}},
      // A relative link moved into BAK still names its file.
      {"RelativeLinkBackedUp", {{"real/a.srt", mine}}, {"subs/a.srt"},
       sfMPL2, true, false, "", 0, {"subs/a.srt"}, {}, {}, {}, {{"subs/BAK/a.srt", mine}},
       relative_link},
      // --fps is the fallback when the video gives no rate; frame output
      // takes each file's own video.
      {"VideoWithoutRateFallsBack", {{"a.sub", sub}, {"a.avi", "no header"}}, {"a.sub"},
       sfSubRipper, true, true, "", 25, {"a.srt"}, {}, {}, {}, {{"a.srt", Srt("from the sub")}}},
      {"FrameOutputPerVideo",
       {{"a.srt", mine}, {"a.avi", Avi(25)}, {"b.srt", Srt("b")}, {"b.avi", Avi(50)}},
       {"a.srt", "b.srt"}, sfMicroDVD, false, true, "", 0, {"a.txt", "b.txt"}, {}, {}, {},
       {{"a.txt", "{25}{50}hand-made\r\n"}, {"b.txt", "{50}{100}b\r\n"}}},
  };
  // clang-format on
  for (const Case& c : cases) Check(c);
}

TEST_F(SafetyTest, StaleTemporariesOlderThanADayAreRemovedByTheNextRunOnlyWhenMarked) {
  // Names as PendingFile makes them carry its mark; a user's file named
  // alike does not, and is only listed.
  const std::string old_temp = MarkedTemporaryName(At("a.txt"));
  const std::string new_temp = MarkedTemporaryName(At("b.txt"));
  std::string unmarked = MarkedTemporaryName(At("d.txt"));
  unmarked.back() = unmarked.back() == 'A' ? 'B' : 'A';
  const std::string look_alike = At(".c.txt.vorlane-12");  // not the pattern
  for (const auto& p : {old_temp, new_temp, look_alike, unmarked}) WriteFileBytes(p, "half");
  const timespec two_days[2] = {{::time(nullptr) - 2 * 86400, 0}, {::time(nullptr) - 2 * 86400, 0}};
  for (const auto& p : {old_temp, look_alike, unmarked}) {
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), two_days, 0), 0);
  }
  WriteFileBytes(At("a.srt"), Srt("x"));
  struct Listing : Front {
    Paths kept;
    void StaleLookAlikeKept(const std::string& path) override { kept.push_back(path); }
  } front;
  front.entries = {At("a.srt")};
  ConvertAll(1, sfMPL2, front);
  EXPECT_FALSE(fs::exists(old_temp));
  EXPECT_TRUE(fs::exists(new_temp));
  EXPECT_TRUE(fs::exists(look_alike));
  EXPECT_TRUE(fs::exists(unmarked));
  EXPECT_EQ(front.kept, Paths{unmarked});
  EXPECT_TRUE(IsOwnTemporaryName(fs::path(old_temp).filename().string()));
  EXPECT_FALSE(IsOwnTemporaryName(fs::path(unmarked).filename().string()));
}

TEST_F(SafetyTest, PendingFileLeavesTheTargetAloneUntilCommitted) {
  const std::string target = At("t.txt");
  WriteFileBytes(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  std::string temporary;
  {
    PendingFile abandoned(target);
    abandoned.Write("new");
    temporary = abandoned.temporary();
    EXPECT_EQ(temporary.rfind(At(".t.txt.vorlane-"), 0), 0u) << temporary;
    EXPECT_TRUE(fs::exists(temporary));
  }
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(ReadFileBytes(target), "old");
  {
    PendingFile live(target);
    live.Write("signalled");
    temporary = live.temporary();
    RemoveLiveTemporaries();  // what a second signal does
    EXPECT_FALSE(fs::exists(temporary));
  }
  PendingFile committed(target);
  committed.Write("new");
  committed.Commit();
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(fs::directory_iterator(dir_.path())->path(), target);  // nothing else there
}

TEST_F(SafetyTest, VideoProbeReadsABoundedPrefix) {
  // A sparse 20 GB file: the search stops long before its end, and a header
  // beyond the bound is not looked for.
  const std::string video = At("big.avi");
  {
    const int fd = ::open(video.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string header = Avi(25);
    ASSERT_EQ(::pwrite(fd, header.data(), header.size(), 17 << 20),
              static_cast<ssize_t>(header.size()));
    ASSERT_EQ(::ftruncate(fd, off_t{20} << 30), 0);
    ::close(fd);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(GetAVIFPS(video), 0);
  EXPECT_EQ(GetMPGFPS(video), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(SafetyTest, PathBeyondTheSystemLimitIsReportedNotPassedOver) {
  // Built level by level from folder descriptors: no call takes the whole
  // path, which is longer than any call would accept.
  // The innermost folder's path is 4000 bytes, within the limit; the path
  // of the file in it is not.
  int fd = ::open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
  std::string deep = dir_.path();
  std::vector<int> fds{fd};
  Paths levels;
  while (deep.size() < 4000) {
    const std::size_t room = 4000 - deep.size() - 1;
    levels.emplace_back(room >= 200 ? 100 : room, 'd');
    ASSERT_EQ(::mkdirat(fd, levels.back().c_str(), 0755), 0);
    fd = ::openat(fd, levels.back().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    fds.push_back(fd);
    deep += "/" + levels.back();
  }
  const std::string name = std::string(200, 'f') + ".srt";
  const int file = ::openat(fd, name.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(file, 0);
  ::close(file);
  Front front;
  FileLook(dir_.path(), front.entries);
  ASSERT_EQ(front.entries, Paths{deep + "/" + name});
  const BatchResult result = ConvertAll(1, sfMPL2, front);
  EXPECT_EQ(result.skipped, front.entries);
  ASSERT_EQ(front.skips.size(), 1u);
  EXPECT_EQ(front.skips[0].reason, SkipReason::kCannotOpen);
  EXPECT_EQ(front.skips[0].detail, "File name too long");
  // Taken down the same way, since the folder's own removal cannot reach.
  ::unlinkat(fd, name.c_str(), 0);
  for (std::size_t i = fds.size() - 1; i > 0; --i) {
    ::close(fds[i]);
    ::unlinkat(fds[i - 1], levels[i - 1].c_str(), AT_REMOVEDIR);
  }
  ::close(fds[0]);
}

}  // namespace
}  // namespace vorlane
