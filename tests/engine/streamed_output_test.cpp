#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "tests/support.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;

// A compiled template gives what FormatTemplate gives, into a string and
// into a sink, for every kind of directive.
TEST(CompiledTemplate, FillsAsFormatTemplateDoes) {
  const char* const flag_sets[] = {"", "-", "0", "+", " ", "-0"};
  const char* const sizes[] = {"", "1", "2", "5", ".0", ".1", ".2", ".3", ".4", "3.2", "1.3"};
  const std::int64_t values[] = {0,   1,    -1,    7,   59,        99,       100,
                                 999, 9999, 10000, -42, INT64_MIN, INT64_MAX};
  for (const char* flags : flag_sets) {
    for (const char* size : sizes) {
      const std::string format = std::string("<%") + flags + size + "d>";
      const CompiledTemplate compiled(format);
      for (const std::int64_t v : values) {
        SCOPED_TRACE(format + " " + std::to_string(v));
        std::string filled = "kept";
        compiled.AppendTo(filled, {v});
        std::string streamed;
        {
          StringSink sink(streamed, 3);
          compiled.AppendTo(sink, {v});
        }
        EXPECT_EQ(filled, "kept" + FormatTemplate(format, {v}));
        EXPECT_EQ(streamed, filled.substr(4));
      }
    }
  }
  const std::string with_nul("a\0b", 3);
  const struct {
    const char* format;
    std::initializer_list<TemplateValue> values;
  } strings[] = {
      {"100%% %s%%", {"%d"}},
      {"[%5s][%-3s][%.2s]%d", {"ab", "c", "defg", 12}},
      {"%s|%s", {with_nul, ""}},
  };
  for (const auto& c : strings) {
    std::string filled;
    CompiledTemplate(c.format).AppendTo(filled, c.values);
    EXPECT_EQ(filled, FormatTemplate(c.format, c.values)) << c.format;
  }
}

TEST(CompiledTemplate, MismatchedValuesAreRefused) {
  const CompiledTemplate compiled("%d:%s");
  std::string out;
  EXPECT_THROW(compiled.AppendTo(out, {1}), std::logic_error);
  EXPECT_THROW(compiled.AppendTo(out, {1, "a", 2}), std::logic_error);
  EXPECT_THROW(compiled.AppendTo(out, {"a", "b"}), std::logic_error);
  EXPECT_THROW(compiled.AppendTo(out, {1, 2}), std::logic_error);
  EXPECT_THROW(CompiledTemplate("%q"), std::logic_error);
  EXPECT_THROW(CompiledTemplate("%5"), std::logic_error);
}

// Streamed output is byte for byte what the line-list writer gives, for
// every format, also when the block is far smaller than one line (so that
// lines are split across flushes and a long one makes the buffer grow).
TEST(WriteDocument, StreamsExactlyTheLineListBytes) {
  TSubtitles doc;
  doc.SetFrameRate(23.976);
  doc.Cues = {{1500, 4020, "Hello\rWorld"},
              {5000, 7000, ""},
              {36000005, 36012345, std::string(5000, 'x') + "\r\ry"},
              {3661500, 3664000, "\xe9t\xe9\r- Oui."}};
  // Styles, a place and text to escape, which the writers render.
  doc.Cues.push_back({367000, 368000, "<i>a</i> & <font color=red>b</font>\r<u>c < d", 8});
  doc.Cues.push_back({369000, 370000, "<b>x\ry</b>", 1});
  for (const FormatInfo& info : FormatCatalogue()) {
    for (const bool classic : {false, true}) {
      doc.SetClassicReading(classic);
      if (info.writer == nullptr) continue;
      SCOPED_TRACE(std::string(info.name) + (classic ? ", classic" : ""));
      if (info.binary_writer != nullptr) {
        // Bytes, not lines: no line list to compare with (the format's own
        // tests read the bytes back).
        LineList none;
        EXPECT_THROW(doc.SaveToList(none, info.value), SubtitleError);
        continue;
      }
      LineList lines;
      doc.SaveToList(lines, info.value);
      for (const std::size_t block : {std::size_t{7}, OutputSink::kDefaultBlock}) {
        std::string streamed;
        {
          StringSink sink(streamed, block);
          WriteDocument(doc, info.value, sink);
        }
        EXPECT_EQ(streamed, JoinLines(lines)) << "block " << block;
      }
    }
  }
}

TEST(WriteFileReplacing, FailuresLeaveTheTargetAsItWas) {
  TempDir dir;
  const std::string target = dir.path() + "/film.srt";
  WriteFileBytes(target, "old");
  ::chmod(target.c_str(), 0600);
  bool before_ran = false;
  const struct {
    const char* name;
    std::function<void(OutputSink&)> write;
    std::function<void()> before;
  } failures[] = {
      {"writer fails half-way",
       [](OutputSink& out) {
         out.Line(std::string(3 << 20, 'n'));  // flushed to the temporary file
         throw std::runtime_error("writer");
       },
       [&] { before_ran = true; }},
      {"backup fails", [](OutputSink& out) { out.Line("new"); },
       [] { throw std::runtime_error("backup"); }},
  };
  for (const auto& c : failures) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(WriteFileReplacing(target, c.write, c.before), std::runtime_error);
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  }
  EXPECT_FALSE(before_ran);

  // Success: before_replace sees the old file, the new one keeps its mode.
  WriteFileReplacing(
      target, [](OutputSink& out) { out.Line("new"); },
      [&] { EXPECT_EQ(ReadFileBytes(target), "old"); });
  EXPECT_EQ(ReadFileBytes(target), "new\r\n");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

// Standard input has no size: it is read in blocks, whatever their number.
TEST(ReadAllBytes, ReadsAPipeToItsEnd) {
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{5}, std::size_t{4} << 20, (std::size_t{8} << 20) + 3}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
      std::size_t done = 0;
      while (done < bytes.size()) {
        const ssize_t put = ::write(fds[1], bytes.data() + done, bytes.size() - done);
        if (put <= 0) break;
        done += static_cast<std::size_t>(put);
      }
      ::close(fds[1]);
    });
    std::string read = "stale";
    EXPECT_TRUE(ReadAllBytes(fds[0], read));
    writer.join();
    ::close(fds[0]);
    EXPECT_TRUE(read == bytes);
  }
}

// The usual timing line is read without the pattern split; every other
// shape still goes through it, to the same times or the same error.
TEST(ReadSubRip, UsualAndUnusualTimingLinesGiveTheSameTimes) {
  const struct {
    const char* timing;
    std::int64_t start, stop;                  // milliseconds kept
    std::int64_t classic_start, classic_stop;  // cut to hundredths
  } cases[] = {
      {"00:00:01,500 --> 00:00:02,009", 1500, 2009, 1500, 2000},
      {"0:0:1,500 --> 0:0:2,009", 1500, 2009, 1500, 2000},
      {" 00:00:01,500 --> 00:00:02,009", 1500, 2009, 1500, 2000},
      {"99:59:59,999 --> 99:59:59,999", 359999999, 359999999, 359999990, 359999990},
      {"00:61:00,000 --> 01:00:00,000", 3660000, 3600000, 3660000, 3600000},
      // Every digit of the usual line in its place.
      {"12:34:56,789 --> 01:23:45,678", 45296789, 5025678, 45296780, 5025670},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.timing);
    const std::vector<SubtitleCue> cues = Read(ReadSubRip, {"1", c.timing, "Text", ""});
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0], (SubtitleCue{c.start, c.stop, "Text"}));
    TSubtitles classic;
    classic.SetClassicReading(true);
    ReadSubRip(classic, {"1", c.timing, "Text", ""});
    ASSERT_EQ(classic.Cues.size(), 1u);
    EXPECT_EQ(classic.Cues[0], (SubtitleCue{c.classic_start, c.classic_stop, "Text"}));
  }
  EXPECT_EQ(ReadError(ReadSubRip, {"1", "00:00:01,5x0 --> 00:00:02,000", "Text"}),
            "'5x0' is not a valid integer value");
  // A byte just past '9' where a digit belongs is no digit.
  EXPECT_EQ(ReadError(ReadSubRip, {"1", "00:00:0:,000 --> 00:00:02,000", "Text"}),
            "'0:' is not a valid integer value");
  EXPECT_EQ(ReadError(ReadSubRip, {"1", "00:00:01,500 --> 00:00:02,009 X1:10", "Text"}),
            "'009 X1:10' is not a valid integer value");
}

}  // namespace
}  // namespace vorlane
