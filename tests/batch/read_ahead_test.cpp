// A run with files read ahead on several threads does exactly what a run of
// one file after the other does: the same calls to the front end in the
// same order, the same result and the same bytes in every file afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/input_gathering.h"
#include "tests/support.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;

// Every call, as text, in the order made.
class TracingFrontEnd : public BatchFrontEnd {
 public:
  std::vector<std::string> entries;
  bool backup = true;
  bool force = true;
  double rate = 0;
  int flip_force_at = -1;  // the progress at which the user flips force
  std::vector<std::string> trace;

  std::optional<std::string> EntryAt(int i) override {
    if (i < 0 || i >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<std::size_t>(i)];
  }
  bool BackupOn() override { return backup; }
  bool ForceExtensionOn() override { return force; }
  double AskFrameRate(const std::string& path) override {
    trace.push_back("ask " + path);
    return rate;
  }
  void ReportCorruptedFile(const std::string& message) override { trace.push_back(message); }
  void ShowSkippedFiles(const std::vector<std::string>& paths) override {
    for (const auto& p : paths) trace.push_back("shown " + p);
  }
  void SetProgress(int position, int maximum) override {
    trace.push_back("progress " + std::to_string(position) + "/" + std::to_string(maximum));
    if (flip_force_at >= 0 && position >= flip_force_at) {
      force = !force;
      flip_force_at = -1;
    }
  }
  void ProcessEvents() override {}
  void FileAbandoned(const std::string& path, const std::string& why) override {
    trace.push_back("abandoned " + path + ": " + why);
  }
  void FileSkipped(const SkipNotice& n) override {
    trace.push_back("skipped " + n.path + " " + std::to_string(static_cast<int>(n.reason)) + " " +
                    n.video + n.detail);
  }
};

std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}

// A folder of every kind of file a run meets.
void MakeMixedFolder(const std::string& dir) {
  fs::create_directories(dir + "/deep");
  for (int i = 0; i < 30; ++i) {
    WriteFileBytes(dir + "/s" + std::to_string(i) + ".srt",
                   "1\r\n00:00:0" + std::to_string(i % 10) + ",000 --> 00:00:09,500\r\nfile " +
                       std::to_string(i) + "\r\n\r\n");
  }
  for (int i = 0; i < 4; ++i) {
    WriteFileBytes(dir + "/m" + std::to_string(i) + ".sub",
                   std::string(1, '{') + std::to_string(10 * i + 1) + "}{99}frames " +
                       std::to_string(i) + "\r\n");
  }
  std::string header(64, '\0');
  header.replace(20, 4, Le32(1));
  header.replace(24, 4, Le32(50));
  WriteFileBytes(dir + "/m1.avi", "RIFF" + Le32(200) + "AVI LISTxxxxhdrlstrh" + Le32(56) + header);
  WriteFileBytes(dir + "/m2.avi", "no header");
  header.replace(24, 4, Le32(24));
  WriteFileBytes(dir + "/s5.avi", "RIFF" + Le32(200) + "AVI LISTxxxxhdrlstrh" + Le32(56) + header);
  WriteFileBytes(dir + "/bad.srt", "1\r\n00:00:xx,000 --> 00:00:02,000\r\nbad\r\n");
  WriteFileBytes(dir + "/junk.txt", "words\r\n");
  WriteFileBytes(dir + "/c.sub", "{5}{9}clash\r\n");
  WriteFileBytes(dir + "/c.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nclash\r\n");
  WriteFileBytes(dir + "/deep/far.sub", "{2147483000}{2147483600}far\r\n");
  ::mkfifo((dir + "/pipe.srt").c_str(), 0644);
  // Another name for a file that an earlier conversion may replace: what
  // was read ahead through it is stale by then.
  fs::create_symlink(dir + "/s3.srt", dir + "/s3a.srt");
}

std::map<std::string, std::string> Contents(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), dir).string()] = ReadFileBytes(entry.path().string());
    }
  }
  return files;
}

TEST(ReadAheadTest, ManyJobsDoExactlyWhatOneDoes) {
  struct Case {
    TSubtitleFormat format;
    bool backup;
    bool force;
    double rate;
    int flip_force_at = -1;
  };
  const Case cases[] = {
      {sfSubRipper, true, true, 0},
      {sfSubRipper, false, false, 25},
      {sfMicroDVD, true, true, 0},
      {sfMicroDVD, true, true, 30},
      {sfTTXT, true, true, 23.976},
      {sfAQTitle, false, true, 25},
      {sfTMPlayer, false, false, 0},
      // The file behind the link is replaced by an output that cannot be
      // read back: the link must then be found unreadable, as in order.
      {sfAdvancedSSA, false, false, 0},
      // Outputs written ahead under the old setting are not used.
      {sfAdvancedSSA, true, true, 0, 6},
      {sfSAMI, false, false, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FormatOf(c.format).name) + " backup " + std::to_string(c.backup) +
                 " force " + std::to_string(c.force) + " rate " + std::to_string(c.rate));
    // One job, two (a worker and the run's own thread) and three.
    std::vector<std::string> traces[3];
    std::map<std::string, std::string> trees[3];
    BatchResult results[3];
    for (int run = 0; run < 3; ++run) {
      // The same folder name both times, so that messages compare whole.
      TempDir temp;
      const std::string dir = temp.path() + "/run";
      MakeMixedFolder(dir);
      TracingFrontEnd front;
      FileLook(dir, front.entries);
      front.entries.push_back(dir + "/pipe.srt");
      front.entries.push_back(dir + "/s3.srt");  // named twice
      front.backup = c.backup;
      front.force = c.force;
      front.rate = c.rate;
      front.flip_force_at = c.flip_force_at;
      BatchOptions options;
      options.fallback_frame_rate = c.rate;
      options.jobs = run + 1;
      results[run] = ConvertAll(static_cast<int>(front.entries.size()), c.format, front, options);
      for (const std::string& line : front.trace) {
        std::string plain;
        std::size_t from = 0;
        for (std::size_t at; (at = line.find(temp.path(), from)) != std::string::npos;) {
          plain += line.substr(from, at - from) + "TMP";
          from = at + temp.path().size();
        }
        traces[run].push_back(plain + line.substr(from));
      }
      trees[run] = Contents(dir);
    }
    for (int run = 1; run < 3; ++run) {
      SCOPED_TRACE("jobs " + std::to_string(run + 1));
      EXPECT_EQ(traces[0], traces[run]);
      EXPECT_EQ(trees[0], trees[run]);
      EXPECT_EQ(results[0].written.size(), results[run].written.size());
      EXPECT_EQ(results[0].skipped.size(), results[run].skipped.size());
      EXPECT_EQ(results[0].abandoned.size(), results[run].abandoned.size());
    }
    EXPECT_GE(results[0].written.size(), 5u);  // the run did convert files
  }
}

}  // namespace
}  // namespace vorlane
