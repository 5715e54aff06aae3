// The fuzzers start from one small valid file of each readable format; a
// seed that no longer reads as its format would quietly weaken them.
#include <gtest/gtest.h>

#include "subtitles/detection.h"
#include "subtitles/lines.h"
#include "subtitles/second_reading.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

TEST(FuzzSeeds, EachReadsAsItsFormat) {
  const std::pair<const char*, TSubtitleFormat> seeds[] = {
      {"subrip.srt", sfSubRipper},
      {"microdvd.sub", sfMicroDVD},
      {"mpl2.txt", sfMPL2},
      {"tmplayer.txt", sfTMPlayer},
      {"subviewer1.txt", sfSubViewer1},
      {"subviewer2.txt", sfSubViewer2},
      {"turbotitler.txt", sfTurboTitler},
      {"viplay.txt", sfViPlay},
      {"zerog.txt", sfZeroG},
      {"sst_script.txt", sfStreamSubTextScript},
      {"ttxt.ttxt", sfTTXT}};
  for (auto [name, format] : seeds) {
    SCOPED_TRACE(name);
    const LineList lines = ReadLinesFromFile(std::string(VORLANE_FUZZ_CORPUS) + "/" + name);
    EXPECT_EQ(DetectFormat(lines), format);
    TSubtitles doc;
    doc.SetFrameRate(25);
    bool frame_based = false;
    ASSERT_TRUE(doc.LoadFromList(lines, frame_based));
    EXPECT_FALSE(doc.Cues.empty());
  }
}

// Seeds of the formats only the second reading reads: picked by their
// signature, read with at least one cue.
TEST(FuzzSeeds, SecondReadingSeedsReadAsTheirFormat) {
  const std::pair<const char*, TSubtitleFormat> seeds[] = {{"substation_alpha.ass", sfAdvancedSSA},
                                                           {"lrc.lrc", sfKaraokeLyricsLRC},
                                                           {"spruce.stl", sfSpruceSubtitleFile},
                                                           {"sbv.sbv", sfSBV}};
  for (auto [name, format] : seeds) {
    SCOPED_TRACE(name);
    const LineList lines = ReadLinesFromFile(std::string(VORLANE_FUZZ_CORPUS) + "/" + name);
    TSubtitles doc;
    EXPECT_EQ(ReadBySignature(doc, lines), format);
    EXPECT_FALSE(doc.Cues.empty());
  }
}

// The binary formats' seeds are read from their bytes, before any
// splitting into lines.
TEST(FuzzSeeds, BinarySeedsReadAsTheirFormat) {
  const std::pair<const char*, TSubtitleFormat> seeds[] = {{"ebu_stl.stl", sfEBUSTL},
                                                           {"scc.scc", sfSCC}};
  for (auto [name, format] : seeds) {
    SCOPED_TRACE(name);
    TSubtitles doc;
    bool frame_based = false;
    ASSERT_TRUE(doc.LoadFromText(ReadWholeFile(std::string(VORLANE_FUZZ_CORPUS) + "/" + name),
                                 frame_based));
    EXPECT_EQ(doc.FormatRead(), format);
    EXPECT_FALSE(doc.Cues.empty());
  }
}

}  // namespace
}  // namespace vorlane
