// Our WebVTT and TTML outputs as other programs read them: ffmpeg reads the
// WebVTT, ttconv the TTML (ffmpeg reads no TTML); both print SubRip. Skipped
// when the program is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

bool Installed(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Style tags are dropped from the text: the peers nest them in their own
// ways.
std::vector<SubtitleCue> WithoutTags(std::vector<SubtitleCue> cues) {
  for (auto& cue : cues) {
    for (const char* tag : {"<i>", "</i>", "<b>", "</b>", "<u>", "</u>"}) {
      cue.Text = ReplaceAll(cue.Text, tag, "");
    }
  }
  return cues;
}

std::vector<SubtitleCue> ReadSubRipFile(const std::string& path) {
  const LineList lines = ReadLinesFromFile(path);
  TSubtitles doc;
  ReadSubRip(doc, lines);
  return doc.Cues;
}

TSubtitles Sample() {
  TSubtitles doc;
  doc.Cues = {
      {1500, 3250, "<i>Fish & chips</i>\r<b>5 < 6</b> and 7 > 2"},
      {4000, 12340, "caf\xC3\xA9 <u>cr\xC3\xA8me</u> -- > -->"},
      {3600000, 3600990, "one hour"},
  };
  return doc;
}

TEST(PeerReadback, FfmpegReadsOurWebVTT) {
  if (!Installed("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  const TSubtitles doc = Sample();
  const std::string vtt = doc.SaveToFile(dir.path() + "/out.vtt", sfWebVTT, false);
  const std::string srt = dir.path() + "/back.srt";
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -i '" + vtt + "' '" + srt + "'").c_str()), 0);
  EXPECT_EQ(WithoutTags(ReadSubRipFile(srt)), WithoutTags(doc.Cues));
}

TEST(PeerReadback, TtconvReadsOurTTML) {
  const std::string ttconv = Installed("ttconv") ? "ttconv" : Installed("tt") ? "tt" : "";
  if (ttconv.empty()) GTEST_SKIP() << "ttconv (python3-ttconv) is not installed";
  TempDir dir;
  const TSubtitles doc = Sample();
  const std::string ttml = doc.SaveToFile(dir.path() + "/out.ttml", sfTTML, false);
  const std::string srt = dir.path() + "/back.srt";
  ASSERT_EQ(
      std::system((ttconv + " convert -i '" + ttml + "' -o '" + srt + "' >/dev/null 2>&1").c_str()),
      0);
  EXPECT_EQ(WithoutTags(ReadSubRipFile(srt)), WithoutTags(doc.Cues));
}

}  // namespace
}  // namespace vorlane
