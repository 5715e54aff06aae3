#include "batch/batch_driver.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

// A front end that answers from fields and records every call.
class RecordingFrontEnd : public BatchFrontEnd {
 public:
  Paths entries;
  bool backup = false;
  bool force_extension = false;
  double rate_to_answer = 0;
  std::function<void(int position)> on_events;  // runs in ProcessEvents
  int stop_after = 0;  // StopRequested says yes after this many files; 0: never

  Paths asked;
  Paths corrupted;
  std::vector<SkipNotice> skip_notices;
  std::vector<std::pair<std::string, std::string>> abandoned;
  std::vector<Paths> shown;
  std::vector<std::pair<int, int>> progress;

  std::optional<std::string> EntryAt(int index) override {
    if (index < 0 || index >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<std::size_t>(index)];
  }
  bool BackupOn() override { return backup; }
  bool ForceExtensionOn() override { return force_extension; }
  double AskFrameRate(const std::string& path) override {
    asked.push_back(path);
    return rate_to_answer;
  }
  void ReportCorruptedFile(const std::string& message) override { corrupted.push_back(message); }
  void ShowSkippedFiles(const Paths& paths) override { shown.push_back(paths); }
  void SetProgress(int position, int maximum) override { progress.emplace_back(position, maximum); }
  void ProcessEvents() override {
    if (on_events) on_events(progress.back().first);
  }
  void FileAbandoned(const std::string& path, const std::string& reason) override {
    abandoned.emplace_back(path, reason);
  }
  void FileSkipped(const SkipNotice& notice) override { skip_notices.push_back(notice); }
  void FileFinished(const FileRecord& record) override { records.push_back(record); }
  std::vector<FileRecord> records;
  bool StopRequested() override { return ++stop_calls == stop_after; }
  int stop_calls = 0;

  // With VORLANE_TEST_CLASSIC set, every run reads with the classic rules:
  // the whole suite then shows that they convert as they always did.
  BatchResult Run(TSubtitleFormat format, BatchOptions options = {}) {
    if (std::getenv("VORLANE_TEST_CLASSIC") != nullptr) options.classic_reading = true;
    return ConvertAll(static_cast<int>(entries.size()), format, *this, options);
  }
};

const std::string kSubRip = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n";
// Frames 25 to 50: one to two seconds at 25 frames per second.
const std::string kMicroDVD = "{25}{50}Hi\r\n";
const std::string kNotSubtitles = "just some words\r\n";

std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}
std::string Avi(std::uint32_t rate, std::uint32_t scale = 1) {
  std::string header(64, '\0');
  header.replace(20, 4, Le32(scale));
  header.replace(24, 4, Le32(rate));
  return "RIFF" + Le32(200) + "AVI LIST" + Le32(100) + "hdrlstrh" + Le32(56) + header;
}
std::string Mpeg(unsigned code) {
  return std::string("\x00\x00\x01\xBA\x21\x00\x00\x00\x00\x01\xB3\x2D\x01\xE0", 14) +
         static_cast<char>(0x10 | code) + std::string(10, '\xff');
}

bool Classic() {
  return std::getenv("VORLANE_TEST_CLASSIC") != nullptr;
}

// The start of the first cue of a SubRip output, in milliseconds.
std::int64_t FirstStartIn(const std::string& srt_path) {
  TSubtitles doc;
  bool frame_based = false;
  if (!doc.LoadFromFile(srt_path, frame_based, nullptr) || doc.Cues.empty()) return -1;
  return doc.Cues.front().Start;
}

class BatchTest : public testing::Test {
 protected:
  std::string Put(const std::string& relative, const std::string& bytes) {
    const std::string path = At(relative);
    fs::create_directories(fs::path(path).parent_path());
    WriteFileBytes(path, bytes);
    sources_[path] = bytes;
    return path;
  }
  std::string At(const std::string& relative) const { return dir_.path() + "/" + relative; }
  static bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

  // Every source put into the folder still exists with its bytes, in its
  // place or in the BAK folder beside it, except those given, whose place
  // the conversion was asked to take.
  void ExpectNoSourceLost(const Paths& replaced = {}) {
    for (const auto& [path, bytes] : sources_) {
      if (std::find(replaced.begin(), replaced.end(), path) != replaced.end()) continue;
      if (Exists(path) && ReadFileBytes(path) == bytes) continue;
      bool found = false;
      const std::string bak = BackupFolderOf(path);
      if (fs::is_directory(bak)) {
        for (const auto& entry : fs::directory_iterator(bak)) {
          if (entry.is_regular_file() &&
              entry.path().filename().string().rfind(fs::path(path).filename().string(), 0) == 0 &&
              ReadFileBytes(entry.path().string()) == bytes) {
            found = true;
          }
        }
      }
      EXPECT_TRUE(found) << "source lost: " << path;
    }
  }

  TempDir dir_;
  std::map<std::string, std::string> sources_;
};

// Backups

TEST_F(BatchTest, BackupTakesTheFirstFreeName) {
  struct Case {
    const char* name;
    Paths present;  // in BAK before the move
    const char* expected;
  };
  const Case cases[] = {
      {"NoBackFolderYet", {}, "film.txt"},
      {"NameTaken", {"film.txt"}, "film.txt.1"},
      {"TwoTaken", {"film.txt", "film.txt.1"}, "film.txt.2"},
      {"GapIsFilled", {"film.txt", "film.txt.1", "film.txt.3"}, "film.txt.2"},
      {"FolderOfThatNameCounts", {"film.txt/"}, "film.txt.1"},
      {"OtherNamesDoNotCount", {"film", "film.txt.1"}, "film.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string(c.name) + "/";
    const std::string source = Put(folder + "film.txt", c.name);
    for (const std::string& present : c.present) {
      if (present.back() == '/') {
        fs::create_directories(At(folder + "BAK/" + present));
      } else {
        Put(folder + "BAK/" + present, "older backup " + present);
      }
    }
    const std::string target = At(folder + "BAK/" + c.expected);
    EXPECT_EQ(BackupFile(source), target);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadFileBytes(target), c.name);
  }
  ExpectNoSourceLost();
}

TEST_F(BatchTest, BackupOfABareNameGoesIntoBakOfTheCurrentFolder) {
  EXPECT_EQ(BackupFolderOf("film.txt"), "BAK");
  EXPECT_EQ(BackupFolderOf("/film.txt"), "/BAK");
  EXPECT_EQ(BackupFolderOf("/a/b.c/film"), "/a/b.c/BAK");
}

TEST_F(BatchTest, EveryBackupNameTakenAbandonsTheFileUntouched) {
  const std::string source = Put("film.srt", kSubRip);
  Put("BAK/film.srt", "backup 0");
  // Hard links to one file make the 9999 names quickly.
  Put("BAK/film.srt.9999", "backup 9999");
  for (int n = 1; n < 9999; ++n) {
    fs::create_hard_link(At("BAK/film.srt.9999"), At("BAK/film.srt." + std::to_string(n)));
  }
  EXPECT_THROW(BackupFile(source), std::runtime_error);

  RecordingFrontEnd front;
  front.entries = {source};
  front.backup = true;
  front.force_extension = true;
  const BatchResult result = front.Run(sfSubRipper);
  EXPECT_EQ(result.abandoned, Paths{source});
  EXPECT_TRUE(result.written.empty());
  ASSERT_EQ(front.abandoned.size(), 1u);
  EXPECT_NE(front.abandoned[0].second.find("film.srt.9999"), std::string::npos)
      << front.abandoned[0].second;
  EXPECT_EQ(ReadFileBytes(source), kSubRip);
  EXPECT_EQ(ReadFileBytes(At("BAK/film.srt.9999")), "backup 9999");
  EXPECT_FALSE(Exists(At("BAK/film.srt.10000")));
  // An abandoned file still moves the progress.
  EXPECT_EQ(front.progress, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
}

TEST_F(BatchTest, BakFolderThatCannotBeCreatedAbandonsOnlyThatFile) {
  const std::string blocked = Put("blocked/film.srt", kSubRip);
  Put("blocked/BAK", "a file where the folder would go");
  const std::string fine = Put("fine/film.srt", kSubRip);

  RecordingFrontEnd front;
  front.entries = {blocked, fine};
  front.backup = true;
  front.force_extension = true;
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.abandoned, Paths{blocked});
  EXPECT_EQ(result.written, Paths{At("fine/film.txt")});
  EXPECT_TRUE(result.skipped.empty());
  EXPECT_FALSE(Exists(At("blocked/film.txt")));
  EXPECT_EQ(ReadFileBytes(blocked), kSubRip);
  EXPECT_EQ(ReadFileBytes(At("fine/BAK/film.srt")), kSubRip);
  ExpectNoSourceLost();
}

// Output names

TEST_F(BatchTest, OutputNamesFollowTheTwoCheckBoxes) {
  struct Case {
    const char* name;
    const char* input;
    bool backup;
    bool force;
    const char* output;   // relative to the case's folder
    bool input_in_place;  // the source still at its path, with its bytes
  };
  const Case cases[] = {
      {"ForcedBesideTheInput", "film.sub", false, true, "film.srt", true},
      {"ForcedWithoutExtension", "film", false, true, "film.srt", true},
      {"ForcedInDottedFolder", "my.folder/film", false, true, "my.folder/film.srt", true},
      {"ForcedAndBackedUp", "film.sub", true, true, "film.srt", false},
      {"NotForcedBackedUp", "film.sub", true, false, "film.sub", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string(c.name) + "/";
    const std::string source = Put(folder + c.input, kSubRip);
    RecordingFrontEnd front;
    front.entries = {source};
    front.backup = c.backup;
    front.force_extension = c.force;
    const BatchResult result = front.Run(sfSubRipper);
    EXPECT_EQ(result.written, Paths{At(folder + c.output)});
    EXPECT_EQ(FirstStartIn(At(folder + c.output)), 1000);
    if (c.input_in_place) {
      EXPECT_EQ(ReadFileBytes(source), kSubRip);
    }
    if (c.backup) {
      EXPECT_EQ(ReadFileBytes(BackupFolderOf(source) + "/" + fs::path(source).filename().string()),
                kSubRip);
    }
  }
  ExpectNoSourceLost();
}

TEST_F(BatchTest, BothOptionsOffReplaceTheInput) {
  const std::string source = Put("film.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {source};
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.written, Paths{source});
  EXPECT_EQ(ReadFileBytes(source), "00:00:01:Hi\r\n");
  EXPECT_FALSE(Exists(At("BAK")));
  EXPECT_TRUE(front.shown.empty());  // nothing skipped, no list
}

TEST_F(BatchTest, OutputFolderTakesTheOutputsAndBackupsStayBesideTheSources) {
  const std::string a = Put("a/film.srt", kSubRip);
  const std::string b = Put("b/film.srt", kSubRip);  // the same output name as a
  const std::string c = Put("b/other.srt", kSubRip);
  fs::create_directories(At("out"));
  RecordingFrontEnd front;
  front.entries = {a, b, c, a};
  front.backup = false;
  front.force_extension = true;
  const BatchResult result = front.Run(sfTMPlayer, {At("out")});
  // The same source twice writes its output once; another source with
  // that output name is given up instead of replacing it.
  EXPECT_EQ(result.written, (Paths{At("out/film.txt"), At("out/other.txt")}));
  EXPECT_EQ(result.named_twice, Paths{a});
  EXPECT_EQ(result.abandoned, Paths{b});
  EXPECT_EQ(ReadFileBytes(At("out/film.txt")), "00:00:01:Hi\r\n");

  // With backups on, the older output in the output folder is kept in a
  // BAK folder there, like a source.
  front.entries = {c};
  front.backup = true;
  front.Run(sfTMPlayer, {At("out")});
  EXPECT_EQ(ReadFileBytes(At("b/BAK/other.srt")), kSubRip);
  EXPECT_EQ(ReadFileBytes(At("out/BAK/other.txt")), "00:00:01:Hi\r\n");
  ExpectNoSourceLost();
}

// The frame rate

TEST_F(BatchTest, VideoLookUpOrderDecidesTheFrameRate) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> beside;  // name -> bytes; "/" ending: a folder
    // Of "{25}{50}Hi" in milliseconds, and as the classic rules count it
    // (whole centiseconds).
    std::int64_t start;
    std::int64_t classic_start;
    bool asked;
    bool classic_asks = false;  // the video is one that only the default mode looks for
  };
  // 24000/1001 frames per second, as scripts/make-test-videos.sh made them.
  const std::string mkv = ReadFileBytes(VORLANE_TEST_DATA "/videos/clip.mkv");
  const std::string mp4 = ReadFileBytes(VORLANE_TEST_DATA "/videos/moov-end.mp4");
  const Case cases[] = {
      {"AviBeforeMpg", {{"x.avi", Avi(50)}, {"x.mpg", Mpeg(3)}}, 500, 500, false},
      {"MpgBeforeMpeg", {{"x.mpg", Mpeg(3)}, {"x.mpeg", Mpeg(5)}}, 1000, 1000, false},
      {"MpegBeforeM1v", {{"x.mpeg", Mpeg(5)}, {"x.m1v", Mpeg(3)}}, 833, 830, false},
      {"M1vAlone", {{"x.m1v", Mpeg(6)}}, 500, 500, false},
      {"MpvAlone", {{"x.mpv", Mpeg(2)}}, 1042, 1040, false},
      {"AviAsFolderDoesNotCount", {{"x.avi/", ""}, {"x.mpv", Mpeg(2)}}, 1042, 1040, false},
      {"OtherBaseNameDoesNotCount", {{"y.avi", Avi(50)}}, 1000, 1000, true},
      {"LetterCaseOfTheVideoName", {{"X.AVI", Avi(50)}, {"x.mpg", Mpeg(3)}}, 500, 500, false},
      {"NtscAvi", {{"x.avi", Avi(30000, 1001)}}, 834, 830, false},
      {"NothingBesideAsks", {}, 1000, 1000, true},
      {"MpvBeforeMkv", {{"x.mpv", Mpeg(6)}, {"x.mkv", mkv}}, 500, 500, false},
      {"MkvAlone", {{"x.mkv", mkv}}, 1043, 1000, false, true},
      {"MkvBeforeMp4", {{"x.mkv", mkv}, {"x.mp4", "no header"}}, 1043, 1000, false, true},
      {"WebmBeforeMp4", {{"x.webm", mkv}, {"x.mp4", "no header"}}, 1043, 1000, false, true},
      {"Mp4BeforeM4v", {{"x.mp4", mp4}, {"x.m4v", "no header"}}, 1043, 1000, false, true},
      {"LetterCaseOfMov", {{"x.MoV", mp4}, {"x.mk3d", "no header"}}, 1043, 1000, false, true},
      {"Mk3dBefore3gp", {{"x.mk3d", mkv}, {"x.3gp", "no header"}}, 1043, 1000, false, true},
      {"MkvWithoutRateAsks", {{"x.mkv", "no header"}, {"x.mp4", mp4}}, 1000, 1000, true},
  };
  const bool classic = std::getenv("VORLANE_TEST_CLASSIC") != nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string(c.name) + "/";
    const std::string source = Put(folder + "x.sub", kMicroDVD);
    for (const auto& [name, bytes] : c.beside) {
      if (name.back() == '/') {
        fs::create_directories(At(folder + name));
      } else {
        Put(folder + name, bytes);
      }
    }
    RecordingFrontEnd front;
    front.entries = {source};
    front.force_extension = true;
    front.rate_to_answer = 25;
    const BatchResult result = front.Run(sfSubRipper);
    const bool asked = c.asked || (classic && c.classic_asks);
    EXPECT_EQ(front.asked, asked ? Paths{source} : Paths{});
    EXPECT_EQ(result.written, Paths{At(folder + "x.srt")});
    EXPECT_EQ(FirstStartIn(At(folder + "x.srt")), Classic() ? c.classic_start : c.start);
  }
  ExpectNoSourceLost();
}

TEST_F(BatchTest, RateInTheFileComesAfterTheVideoAndBeforeAsking) {
  struct Case {
    const char* name;
    const char* first_line;  // before "{25}{50}Hi"
    bool avi;                // an AVI of 25 frames per second beside
    // Of the first cue written, in milliseconds and as the classic rules
    // count it.
    std::int64_t start;
    std::int64_t classic_start;
    bool asked;
  };
  const Case cases[] = {
      {"RateLine", "{1}{1}50", false, 500, 500, false},
      {"ZeroFramesDecimalComma", "{0}{0}23,976", false, 1043, 1040, false},
      {"VideoFirst", "{1}{1}50", true, 1000, 1000, false},
      // Any other first cue is a cue, and the user is asked (answer: 25).
      {"TextIsNoRate", "{1}{1}Hi", false, 40, 40, true},
      {"OtherFrames", "{1}{2}50", false, 40, 40, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string(c.name) + "/";
    const std::string source = Put(folder + "x.sub", c.first_line + ("\r\n" + kMicroDVD));
    if (c.avi) Put(folder + "x.avi", Avi(25));
    RecordingFrontEnd front;
    front.entries = {source};
    front.force_extension = true;
    front.rate_to_answer = 25;
    const BatchResult result = front.Run(sfSubRipper);
    EXPECT_EQ(front.asked, c.asked ? Paths{source} : Paths{});
    EXPECT_EQ(result.written, Paths{At(folder + "x.srt")});
    EXPECT_EQ(FirstStartIn(At(folder + "x.srt")), Classic() ? c.classic_start : c.start);
  }
}

TEST_F(BatchTest, FrameRateBelowOneSkipsTheFileAndLeavesItUntouched) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> beside;
    double answer;
    bool asked;
    bool video;
  };
  const Case cases[] = {
      {"AviWithoutStreamHeader", {{"x.avi", std::string(300, 'r')}}, 25, false, true},
      {"AviWithScaleZero", {{"x.avi", Avi(25, 0)}}, 25, false, true},
      {"MpegCodeNine", {{"x.mpg", Mpeg(9)}}, 25, false, true},
      {"ZeroEntered", {}, 0, true, false},
      {"FractionEntered", {}, 0.6, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string(c.name) + "/";
    const std::string source = Put(folder + "x.sub", kMicroDVD);
    for (const auto& [name, bytes] : c.beside) Put(folder + name, bytes);
    RecordingFrontEnd front;
    front.entries = {source};
    front.backup = true;  // even so, nothing is moved
    front.rate_to_answer = c.answer;
    const BatchResult result = front.Run(sfSubRipper);
    EXPECT_EQ(result.skipped, Paths{source});
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(front.asked.size(), c.asked ? 1u : 0u);
    ASSERT_EQ(front.skip_notices.size(), 1u);
    EXPECT_EQ(front.skip_notices[0].reason, SkipReason::kInputNeedsFrameRate);
    EXPECT_EQ(front.skip_notices[0].video,
              c.video ? At(folder + "x." + (c.name[0] == 'A' ? "avi" : "mpg")) : "");
    EXPECT_EQ(front.shown, std::vector<Paths>{Paths{source}});
    EXPECT_EQ(ReadFileBytes(source), kMicroDVD);
    EXPECT_FALSE(Exists(At(folder + "BAK")));
  }
}

TEST_F(BatchTest, SettledFrameRateCarriesOverToTimeBasedInputWrittenInFrames) {
  // MicroDVD output counts frames. The first file settles 25 by its video;
  // the SubRip file after it is written with that rate, unasked. A file
  // that needs a rate with none to be had is skipped, not written with
  // every frame at 0.
  const std::string first = Put("a.sub", kMicroDVD);
  Put("a.avi", Avi(25));
  const std::string second = Put("b.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {first, second};
  front.force_extension = true;
  const BatchResult result = front.Run(sfMicroDVD);
  EXPECT_TRUE(front.asked.empty());
  EXPECT_EQ(result.written, (Paths{At("a.txt"), At("b.txt")}));
  EXPECT_EQ(ReadFileBytes(At("b.txt")), "{25}{50}Hi\r\n");

  const std::string lone = Put("lone/e.srt", kSubRip);
  RecordingFrontEnd unanswered;
  unanswered.entries = {lone};
  unanswered.force_extension = true;
  const BatchResult skipped = unanswered.Run(sfMicroDVD);
  EXPECT_EQ(unanswered.asked, Paths{lone});
  EXPECT_EQ(skipped.skipped, Paths{lone});
  ASSERT_EQ(unanswered.skip_notices.size(), 1u);
  EXPECT_EQ(unanswered.skip_notices[0].reason, SkipReason::kOutputNeedsFrameRate);
  EXPECT_FALSE(Exists(At("lone/e.txt")));
  EXPECT_EQ(ReadFileBytes(lone), kSubRip);
}

TEST_F(BatchTest, FrameBasedFileIsSettledAnewEvenAfterAnotherRate) {
  const std::string first = Put("a.sub", kMicroDVD);
  Put("a.avi", Avi(25));
  const std::string second = Put("b.sub", kMicroDVD);
  Put("b.avi", Avi(50));
  RecordingFrontEnd front;
  front.entries = {first, second};
  front.force_extension = true;
  front.Run(sfSubRipper);
  EXPECT_EQ(FirstStartIn(At("a.srt")), 1000);
  EXPECT_EQ(FirstStartIn(At("b.srt")), 500);
}

TEST_F(BatchTest, SecondLoadThatFailsSkipsTheFileInsteadOfWritingNoCues) {
  // At 1 frame per second this frame lies beyond the 32-bit range of a time.
  const std::string source = Put("x.sub", "{2147483647}{2147483647}Hi\r\n");
  RecordingFrontEnd front;
  front.entries = {source};
  front.rate_to_answer = 1;
  const BatchResult result = front.Run(sfSubRipper);
  EXPECT_EQ(result.skipped, Paths{source});
  EXPECT_TRUE(result.written.empty());
  ASSERT_EQ(front.corrupted.size(), 1u);
  EXPECT_EQ(front.corrupted[0].rfind("File " + source + " is corrupted. Error on line: ", 0), 0u)
      << front.corrupted[0];
  EXPECT_EQ(ReadFileBytes(source), "{2147483647}{2147483647}Hi\r\n");
}

TEST_F(BatchTest, VideoThatCannotBeReadAbandonsTheFile) {
  // A video that stat calls a regular file but whose bytes cannot be read,
  // for any user: the memory file of this process, at its unmapped start.
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc here";
  const std::string source = Put("x.sub", kMicroDVD);
  fs::create_symlink("/proc/self/mem", At("x.avi"));
  RecordingFrontEnd front;
  front.entries = {source};
  front.backup = true;
  const BatchResult result = front.Run(sfSubRipper);
  EXPECT_EQ(result.abandoned, Paths{source});
  ASSERT_EQ(front.abandoned.size(), 1u);
  EXPECT_NE(front.abandoned[0].second.find(At("x.avi")), std::string::npos)
      << front.abandoned[0].second;
  EXPECT_TRUE(front.asked.empty());
  EXPECT_TRUE(result.skipped.empty());
  EXPECT_EQ(front.progress, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
  EXPECT_EQ(ReadFileBytes(source), kMicroDVD);
  EXPECT_FALSE(Exists(At("BAK")));
}

// The run

TEST_F(BatchTest, SkippedFilesComeInRunOrderAndDoNotMoveTheProgress) {
  const std::string bad1 = Put("one.txt", kNotSubtitles);
  const std::string good = Put("two.srt", kSubRip);
  const std::string missing = At("three.srt");
  const std::string broken = Put("four.srt", "1\r\n00:00:xx,000 --> 00:00:02,000\r\nHi\r\n");
  const std::string bad2 = Put("five.txt", kNotSubtitles);
  RecordingFrontEnd front;
  front.entries = {bad1, good, missing, broken, bad2};
  front.backup = true;
  front.force_extension = true;
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.skipped, (Paths{bad1, missing, broken, bad2}));
  EXPECT_EQ(front.shown, std::vector<Paths>{result.skipped});
  EXPECT_EQ(front.progress, (std::vector<std::pair<int, int>>{{0, 5}, {2, 5}}));
  // A missing file was never read: "not found", no corrupted-file report.
  EXPECT_EQ(front.corrupted,
            Paths{"File " + broken +
                  " is corrupted. Error on line: 'xx' is not a valid integer value (line 2)"});
  std::vector<SkipReason> reasons;
  for (const auto& notice : front.skip_notices) reasons.push_back(notice.reason);
  EXPECT_EQ(reasons, (std::vector<SkipReason>{SkipReason::kNotRecognised, SkipReason::kNotFound,
                                              SkipReason::kCorrupted, SkipReason::kNotRecognised}));
  EXPECT_EQ(result.written, Paths{At("two.txt")});
  ExpectNoSourceLost();
}

TEST_F(BatchTest, FormatRefusedByNameIsSkippedAsNotSupportedWithoutACorruptionReport) {
  if (std::getenv("VORLANE_TEST_CLASSIC") != nullptr)
    GTEST_SKIP() << "the classic reading refuses none";
  const std::string scc = Put("a.idx", "# VobSub index file, v7 (do not modify this line!)\n");
  RecordingFrontEnd front;
  front.entries = {scc};
  const BatchResult result = front.Run(sfSubRipper);
  EXPECT_EQ(result.skipped, Paths{scc});
  EXPECT_TRUE(front.corrupted.empty());
  ASSERT_EQ(front.skip_notices.size(), 1u);
  EXPECT_EQ(front.skip_notices[0].reason, SkipReason::kNotSupported);
  EXPECT_EQ(front.skip_notices[0].detail, "VobSub subtitles are not supported");
  ExpectNoSourceLost();
}

TEST_F(BatchTest, ListAndCheckBoxesAreReadAgainForEveryFile) {
  const std::string a = Put("a.srt", kSubRip);
  const std::string b = Put("b.srt", kSubRip);
  const std::string c = Put("c.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {a, b, c};
  front.force_extension = true;
  front.on_events = [&](int position) {
    if (position == 1) {
      front.backup = true;
      front.entries.pop_back();  // c leaves the list: index 2 now lies past its end
    }
  };
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.written, (Paths{At("a.txt"), At("b.txt")}));
  EXPECT_TRUE(result.abandoned.empty());  // the lost index names no file
  EXPECT_EQ(front.progress, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(ReadFileBytes(a), kSubRip);                // backup still off for a
  EXPECT_EQ(ReadFileBytes(At("BAK/b.srt")), kSubRip);  // on for b
  EXPECT_EQ(ReadFileBytes(c), kSubRip);
  EXPECT_FALSE(Exists(At("c.txt")));
}

TEST_F(BatchTest, EntriesAddedDuringARunAreNotConverted) {
  const std::string a = Put("a.srt", kSubRip);
  const std::string late = Put("late.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {a};
  front.force_extension = true;
  front.on_events = [&](int) { front.entries.push_back(late); };
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.written, Paths{At("a.txt")});
  EXPECT_FALSE(Exists(At("late.txt")));
}

TEST_F(BatchTest, StopRequestEndsTheRunAfterTheCurrentFile) {
  const std::string a = Put("a.txt", kNotSubtitles);
  const std::string b = Put("b.srt", kSubRip);
  const std::string c = Put("c.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {a, b, c};
  front.force_extension = true;
  front.stop_after = 2;
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.skipped, Paths{a});
  EXPECT_EQ(result.written, Paths{At("b.txt")});
  EXPECT_TRUE(front.shown.empty());  // the front end is going away
  EXPECT_FALSE(Exists(At("c.txt")));
}

TEST_F(BatchTest, FormatWithoutWriterNeverReplacesASource) {
  const std::string a = Put("a.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {a};
  front.backup = true;
  const BatchResult result = front.Run(sf0);
  EXPECT_EQ(result.abandoned, Paths{a});
  EXPECT_EQ(ReadFileBytes(a), kSubRip);
  EXPECT_FALSE(Exists(At("BAK")));
}

TEST_F(BatchTest, EveryFileReachedLeavesARecordOfWhatBecameOfIt) {
  const std::string good = Put("good.srt", kSubRip + "2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n");
  const std::string words = Put("words.txt", kNotSubtitles);
  const std::string bad = Put("bad.srt", "1\r\n00:00:xx,000 --> 00:00:02,000\r\nHi\r\n");
  const std::string frames = Put("frames.sub", kMicroDVD);
  const std::string late = Put("late.srt", "1\r\n99:00:00,000 --> 99:00:01,000\r\nHi\r\n");
  RecordingFrontEnd front;
  front.entries = {good, words, bad, frames, late};
  front.backup = true;
  front.force_extension = true;
  BatchOptions options;
  // A second later; a cue near the end of the time range cannot be.
  options.transform = [](TSubtitles& doc) {
    for (SubtitleCue& cue : doc.Cues) {
      if (cue.Start > 30000000) throw std::runtime_error("cue beyond the range");
      cue.Start += 1000;
    }
  };
  front.Run(sfTMPlayer, options);
  ASSERT_EQ(front.records.size(), 5u);
  const FileRecord& r0 = front.records[0];
  EXPECT_EQ(r0.outcome, FileOutcome::kConverted);
  EXPECT_EQ(r0.format, sfSubRipper);
  EXPECT_EQ(r0.cues, 2u);
  EXPECT_EQ(r0.output, At("good.txt"));
  EXPECT_EQ(r0.backup, At("BAK/good.srt"));
  EXPECT_EQ(ReadFileBytes(At("good.txt")).substr(0, 15), "00:00:02:Hi\r\n00");
  const struct {
    FileOutcome outcome;
    SkipReason reason;
    TSubtitleFormat format;
    const char* message_part;
  } expected[] = {
      {FileOutcome::kSkipped, SkipReason::kNotRecognised, sf0, ""},
      {FileOutcome::kSkipped, SkipReason::kCorrupted, sfSubRipper, "is corrupted"},
      {FileOutcome::kSkipped, SkipReason::kInputNeedsFrameRate, sfMicroDVD, ""},
      {FileOutcome::kAbandoned, SkipReason::kNotRecognised, sfSubRipper, "beyond the range"},
  };
  for (std::size_t i = 1; i < front.records.size(); ++i) {
    const FileRecord& r = front.records[i];
    SCOPED_TRACE(r.path);
    EXPECT_EQ(r.path, front.entries[i]);
    EXPECT_EQ(r.outcome, expected[i - 1].outcome);
    if (r.outcome == FileOutcome::kSkipped) {
      EXPECT_EQ(r.skip_reason, expected[i - 1].reason);
    }
    EXPECT_EQ(r.format, expected[i - 1].format);
    EXPECT_NE(r.message.find(expected[i - 1].message_part), std::string::npos) << r.message;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.backup, "");
  }
  // The file the transform gave up on is left where it was.
  EXPECT_TRUE(Exists(late));
  ExpectNoSourceLost();
}

// Faults while converting: the run goes on with the next file, every
// source's bytes exist exactly once afterwards (in place or in BAK), and no
// temporary file is left behind.

class BatchFaultTest : public BatchTest {
 protected:
  // Every regular file below the folder.
  Paths AllFiles() const {
    Paths files;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
      if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    return files;
  }
  int CopiesOf(const std::string& bytes) const {
    int copies = 0;
    for (const auto& file : AllFiles()) copies += ReadFileBytes(file) == bytes ? 1 : 0;
    return copies;
  }
  // Only sources, their backups and the outputs of the run are there.
  void ExpectOnlyKnownFiles(const BatchResult& result) const {
    for (const auto& file : AllFiles()) {
      const bool known =
          sources_.count(file) != 0 || fs::path(file).parent_path().filename() == "BAK" ||
          std::find(result.written.begin(), result.written.end(), file) != result.written.end();
      EXPECT_TRUE(known) << "left behind: " << file;
    }
  }
};

TEST_F(BatchFaultTest, OutputBeyondTheFileSizeLimitIsAbandonedAndTheRunGoesOn) {
  // A file-size limit fails the write half-way, as a full disk does; root is
  // bound by it too.
  std::string big;
  for (int i = 0; i < 400; ++i) {
    big += std::to_string(i + 1) + "\r\n00:00:01,000 --> 00:00:02,000\r\nA line of text\r\n\r\n";
  }
  const std::string large = Put("a/large.srt", big);
  const std::string small = Put("b/small.srt", kSubRip);
  RecordingFrontEnd front;
  front.entries = {large, small};
  front.backup = true;
  struct rlimit old_limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  const BatchResult result = front.Run(sfSubRipper);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  ASSERT_EQ(result.abandoned, Paths{large});
  ASSERT_EQ(front.abandoned.size(), 1u);
  EXPECT_NE(front.abandoned[0].second.find("Cannot create file \"" + large + "\"."),
            std::string::npos)
      << front.abandoned[0].second;
  EXPECT_EQ(result.written, Paths{small});
  // The output failed before the backup was due: the source stays in place.
  EXPECT_EQ(CopiesOf(big), 1);
  EXPECT_EQ(ReadFileBytes(large), big);
  EXPECT_FALSE(fs::exists(At("a/BAK/large.srt")));
  ExpectOnlyKnownFiles(result);
}

TEST_F(BatchFaultTest, FolderInPlaceOfTheOutputAbandonsTheFile) {
  const std::string blocked = Put("film.srt", kSubRip);
  fs::create_directories(At("film.txt"));
  const std::string fine = Put("other.srt", kSubRip + "\r\n");
  RecordingFrontEnd front;
  front.entries = {blocked, fine};
  front.force_extension = true;
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.abandoned, Paths{blocked});
  EXPECT_EQ(result.written, Paths{At("other.txt")});
  EXPECT_TRUE(fs::is_directory(At("film.txt")));
  EXPECT_EQ(CopiesOf(kSubRip), 1);
  ExpectOnlyKnownFiles(result);
  ExpectNoSourceLost();
}

TEST_F(BatchFaultTest, SourceThatVanishedIsReportedAndSkipped) {
  const std::string gone = Put("gone.srt", kSubRip);
  const std::string fine = Put("fine.srt", kSubRip + "\r\n");
  fs::remove(gone);
  sources_.erase(gone);
  RecordingFrontEnd front;
  front.entries = {gone, fine};
  front.force_extension = true;
  const BatchResult result = front.Run(sfTMPlayer);
  EXPECT_EQ(result.skipped, Paths{gone});
  EXPECT_TRUE(front.corrupted.empty());
  ASSERT_EQ(front.skip_notices.size(), 1u);
  EXPECT_EQ(front.skip_notices[0].reason, SkipReason::kNotFound);
  EXPECT_EQ(result.written, Paths{At("fine.txt")});
  ExpectOnlyKnownFiles(result);
  ExpectNoSourceLost();
}

}  // namespace
}  // namespace vorlane
