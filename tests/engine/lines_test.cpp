#include "subtitles/lines.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "subtitles/errors.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct SplitCase {
  std::string bytes;
  LineList lines;
};

TEST(SplitLines, BreaksAtCrLfLoneCrAndLoneLf) {
  const SplitCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\r\nb", {"a", "", "b"}},  // CR CR LF: a line, then an empty one
      {"a\r\n\r\n", {"a", ""}},      // an empty line before the last terminator
      {"\n\n", {"", ""}},
      {"\n\r", {"", ""}},                              // LF CR is two terminators
      {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},  // NUL ends the text
      {std::string("\0abc", 4), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(SplitLines(c.bytes), c.lines);
  }
}

// The scanner finds line ends 64 bytes at a time: every length around the
// block size, with a CR LF across each boundary, gives the lines of the
// plain byte-by-byte rule.
TEST(SplitLines, BlockScanAgreesWithTheByteRule) {
  auto by_bytes = [](std::string_view text) {
    text = text.substr(0, text.find('\0'));
    LineList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\r' && text[i] != '\n') continue;
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
  };
  std::uint32_t seed = 7;
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', 'c'};
  for (std::size_t length = 0; length < 300; ++length) {
    for (int round = 0; round < 8; ++round) {
      std::string text(length, 'x');
      for (char& c : text) {
        seed = seed * 1103515245u + 12345u;
        c = alphabet[(seed >> 16) % sizeof alphabet];
      }
      // A CR LF across a block boundary.
      if (length > 65 && round == 0) text.replace(63, 2, "\r\n");
      SCOPED_TRACE(testing::PrintToString(text));
      ASSERT_EQ(SplitLines(text), by_bytes(text));
    }
  }
}

TEST(JoinLines, PutsCrLfAfterEveryItem) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({"a", "", "b\r\nc"}), "a\r\n\r\nb\r\nc\r\n");
}

TEST(LineFiles, RoundTripBytesUnchanged) {
  TempDir dir;
  const std::string path = dir.path() + "/x.txt";
  const LineList lines{"caf\xe9", "\x01\xff", ""};
  WriteLinesToFile(lines, path);
  EXPECT_EQ(ReadFileBytes(path), "caf\xe9\r\n\x01\xff\r\n\r\n");
  EXPECT_EQ(ReadLinesFromFile(path), lines);
}

// One string read into again and again, as a batch run does, holds each
// file's bytes exactly: nothing of a longer file before, nothing cut from a
// file that grew.
TEST(LineFiles, ReadingIntoAUsedStringGivesEachFileWhole) {
  TempDir dir;
  const std::string path = dir.path() + "/x.srt";
  std::string bytes;
  for (const std::size_t size : {std::size_t{70000}, std::size_t{3}, std::size_t{0},
                                 std::size_t{70001}, std::size_t{1} << 20}) {
    std::string content(size, 'a');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>('a' + i % 23);
    WriteFileBytes(path, content);
    ReadWholeFile(path, bytes);
    EXPECT_EQ(bytes.size(), size);
    EXPECT_TRUE(bytes == content);
  }
}

TEST(LineFiles, MissingFileNamesPathAndReason) {
  try {
    ReadLinesFromFile("/nonexistent/dir/a.srt");
    ADD_FAILURE() << "no error";
  } catch (const SubtitleError& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot open file \"/nonexistent/dir/a.srt\". No such file or directory");
  }
}

TEST(LineFiles, ReplacedFileKeepsItsModeAndNoTemporaryIsLeft) {
  TempDir dir;
  const std::string path = dir.path() + "/x.srt";
  WriteFileBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  WriteLinesToFile({"new"}, path);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(LineFiles, FailedWriteLeavesTheOldFileWhole) {
  if (::geteuid() == 0) {
    // root writes into read-only folders; use a folder that does not exist.
    try {
      WriteLinesToFile({"x"}, "/nonexistent/dir/out.srt");
      ADD_FAILURE() << "no error";
    } catch (const SubtitleError& e) {
      EXPECT_STREQ(e.what(),
                   "Cannot create file \"/nonexistent/dir/out.srt\". No such file or directory");
    }
    return;
  }
  TempDir dir;
  const std::string path = dir.path() + "/x.srt";
  WriteFileBytes(path, "old");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
  EXPECT_THROW(WriteLinesToFile({"new"}, path), SubtitleError);
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadFileBytes(path), "old");
}

TEST(LineFiles, WriteFailingHalfWayKeepsTheOldFile) {
  // A file-size limit makes the write fail after the first 4 KiB, as a full
  // disk would. The old content must stay and no temporary may be left.
  TempDir dir;
  const std::string path = dir.path() + "/x.srt";
  WriteFileBytes(path, "old");
  struct rlimit old_limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  bool failed = false;
  try {
    WriteLinesToFile(LineList(10000, std::string(100, 'x')), path);
  } catch (const SubtitleError& e) {
    failed = true;
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + path + "\". ", 0), 0u);
  }
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_TRUE(failed);
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace vorlane
