#include <gtest/gtest.h>

#include <string>

#include "subtitles/output_sink.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

struct DirectCase {
  const char* what;
  std::string bytes;
  bool direct;  // whether the direct way takes the file
};

// The direct way either declines or gives exactly the full way's output,
// cue count and format read, whatever the size of its blocks.
TEST(ConvertDirect, GivesTheFullWaysBytesOrDeclines) {
  const std::string cue1 = "1\r\n00:00:01,000 --> 00:00:02,500\r\nOne\r\nline two\r\n\r\n";
  const std::string cue2 = "2\r\n00:00:03,000 --> 00:00:04,000\r\n<i>caf\xe9</i>\r\n\r\n";
  const DirectCase cases[] = {
      {"plain", cue1 + cue2, true},
      {"LF only, no last line end",
       "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB", true},
      {"held number and empty lines inside a cue",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n7\r\n\r\nB\r\n2\r\n00:00:03,000 --> "
       "00:00:04,000\r\nC\r\n5\r\n",
       true},
      {"timing line written loosely", "1\r\n00:00:01,5 --> 00:00:02,25\r\nA\r\n", true},
      {"many cues",
       [&] {
         std::string s;
         for (int i = 0; i < 9; ++i) s += cue1 + cue2;
         return s;
       }(),
       true},
      // The full way takes NUL bytes out and reads on; the direct way leaves
      // such text to it.
      {"text after a NUL", cue1 + std::string("\0", 1) + cue2, false},
      // By default the text is read into the model and milliseconds are
      // kept, the same either way.
      {"overrides, references and milliseconds",
       "1\r\n00:00:01,234 --> 00:00:02,345\r\n{\\an8}{\\i1}A{\\i0} &amp; B\r\n\r\n" + cue1, true},
      {"a time before zero", "1\r\n-00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n" + cue2, false},
      {"byte order mark", "\xEF\xBB\xBF" + cue1, false},
      {"a bad time half-way", cue1 + "2\r\n00:aa:03,000 --> 00:00:04,000\r\nB\r\n", false},
      {"no cue", "just some text\r\n", false},
      {"another format",
       "[Script Info]\r\n\r\n[Events]\r\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,A\r\n",
       false},
      {"WebVTT", "WEBVTT\r\n\r\n00:00:01.000 --> 00:00:02.000\r\nA\r\n", false},
      {"UTF-16", std::string("1\0\r\0", 4), false},
  };
  const TSubtitleFormat formats[] = {sfSubRipper, sfAdvancedSSA, sfSAMI};
  for (const DirectCase& c : cases) {
    for (const bool classic : {false, true}) {
      for (const TSubtitleFormat format : formats) {
        for (const std::size_t block : {1, 2, 4096}) {
          SCOPED_TRACE(std::string(c.what) + (classic ? ", classic" : "") + ", format " +
                       std::to_string(format) + ", block " + std::to_string(block));
          TSubtitles full;
          full.SetClassicReading(classic);
          // As a run tells it, so 8-bit text goes back out as read.
          full.SetTargetFormat(format);
          bool frame_based = false;
          std::string expected;
          bool loaded = false;
          try {
            loaded = full.LoadFromText(c.bytes, frame_based);
          } catch (const std::exception&) {
          }
          if (loaded) {
            StringSink sink(expected);
            WriteDocument(full, format, sink);
          }
          TSubtitles direct;
          direct.SetClassicReading(classic);
          direct.SetTargetFormat(format);
          EXPECT_EQ(direct.ConvertDirect(c.bytes, format, nullptr, block) > 0, c.direct);
          std::string got;
          std::size_t cues = 0;
          {
            StringSink sink(got);
            cues = direct.ConvertDirect(c.bytes, format, &sink, block);
          }
          ASSERT_EQ(cues > 0, c.direct);
          if (cues == 0) continue;
          ASSERT_TRUE(loaded);
          EXPECT_EQ(got, expected);
          EXPECT_EQ(cues, full.Cues.size());
          EXPECT_EQ(direct.FormatRead(), full.FormatRead());
          EXPECT_TRUE(direct.Cues.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
