#include <gtest/gtest.h>

#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

TEST(Catalogue, HasFiftyClassicOutputFormatsInBoxOrder) {
  const auto order = OutputFormatsInBoxOrder(/*classic=*/true);
  ASSERT_EQ(order.size(), 50u);
  EXPECT_EQ(order.front(), sfAdobeEncoreDVD);
  EXPECT_EQ(order[1], sfAdvancedSSA);
  EXPECT_EQ(order[2], sfAQTitle);
  EXPECT_EQ(order[20], sfMPL);
  EXPECT_EQ(order[21], sfMPL2);
  EXPECT_EQ(order.back(), sfZeroG);
}

TEST(Catalogue, ExtensionsAndNames) {
  const std::pair<TSubtitleFormat, const char*> cases[] = {{sf0, "txt"},
                                                           {sfSubRipper, "srt"},
                                                           {sfSAMI, "smi"},
                                                           {sfAdvancedSSA, "ssa"},
                                                           {sfDKSSubtitleFormat, "dks"},
                                                           {sfDVDArchitectSubtitleScript, "sub"},
                                                           {sfDVDSubtitle, "sub"},
                                                           {sfSofni, "sub"},
                                                           {sfSonicDVDCreator, "sub"},
                                                           {sfSubSonic, "sub"},
                                                           {sfJACOSub2, "js"},
                                                           {sfKaraokeLyricsLRC, "lrc"},
                                                           {sfOVRScript, "ovr"},
                                                           {sfPowerDivX, "psb"},
                                                           {sfRealTime, "rt"},
                                                           {sfSonicScenarist, "sst"},
                                                           {sfSpruceDVDMaestro, "son"},
                                                           {sfSpruceSubtitleFile, "stl"},
                                                           {sfMicroDVD, "txt"},
                                                           {sfWincapsTextTimecoded, "txt"}};
  for (auto [value, ext] : cases) EXPECT_EQ(FormatOf(value).extension, ext) << int(value);
  EXPECT_EQ(FindFormatByName("microdvd"), sfMicroDVD);
  EXPECT_EQ(FindFormatByName("SUBRIPPER"), sfSubRipper);
  EXPECT_EQ(FindFormatByName("SubRip"), std::nullopt);
  EXPECT_EQ(FindFormatByName("0"), std::nullopt);
}

TEST(ReplaceExtension, ReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(ReplaceExtension("/subs/film.sub", "srt"), "/subs/film.srt");
  EXPECT_EQ(ReplaceExtension("/subs/film", "srt"), "/subs/film.srt");
  EXPECT_EQ(ReplaceExtension("/my.subs/film", "srt"), "/my.subs/film.srt");
  EXPECT_EQ(ReplaceExtension("film.en.srt", "txt"), "film.en.txt");
  EXPECT_EQ(ReplaceExtension("/subs/.hidden", "srt"), "/subs/.srt");
}

TEST(LoadFromList, StartsFromEmptyCuesAndReportsUnreadableFormats) {
  TSubtitles doc;
  doc.Cues.push_back({10, 20, "old"});
  bool frame_based = true;
  EXPECT_FALSE(doc.LoadFromList({}, frame_based));
  EXPECT_TRUE(doc.Cues.empty());
  doc.Cues.push_back({10, 20, "old"});
  doc.SetClassicReading(true);
  EXPECT_FALSE(doc.LoadFromList({"<SAMI>"}, frame_based));  // recognised, not read
  EXPECT_TRUE(doc.Cues.empty());
  // Read beyond the classic rules it is a SAMI file without cues.
  doc.SetClassicReading(false);
  EXPECT_TRUE(doc.LoadFromList({"<SAMI>"}, frame_based));
  EXPECT_EQ(doc.FormatRead(), sfSAMI);
  EXPECT_TRUE(doc.Cues.empty());
  EXPECT_TRUE(doc.LoadFromList({"00:00:01,000 --> 00:00:02,000", "x"}, frame_based));
  EXPECT_FALSE(frame_based);
  ASSERT_EQ(doc.Cues.size(), 1u);
}

// Cues before zero: written from zero. By default nothing is lost (a cue
// wholly before zero is shown from 0 to 0, and counted); the classic rules
// leave out the cues that end before zero or at zero having started before
// it. Every text writer gets the same cues.
TEST(SaveToList, NoFormatShowsATimeBeforeZero) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    doc.Cues = {{-1000, 2000, "a"}, {-3000, -1000, "b"}, {-1000, 0, "c"},
                {0, 0, "d"},        {5000, -10, "e"},    {3000, 4000, "f"}};
    // The binary writers (formats the classic rules never wrote) keep every
    // cue under both rules.
    TSubtitles kept;
    kept.SetClassicReading(classic);
    kept.Cues = {{0, 2000, "a"}, {0, 0, "b"},    {0, 0, "c"},
                 {0, 0, "d"},    {5000, 0, "e"}, {3000, 4000, "f"}};
    TSubtitles shown = kept;
    if (classic) shown.Cues = {{0, 2000, "a"}, {0, 0, "d"}, {3000, 4000, "f"}};
    LineList srt;
    doc.SaveToList(srt, sfSubRipper);
    if (classic) {
      EXPECT_EQ(JoinLines(srt),
                "1\r\n00:00:00,000 --> 00:00:02,000\r\na\r\n\r\n"
                "2\r\n00:00:00,000 --> 00:00:00,000\r\nd\r\n\r\n"
                "3\r\n00:00:03,000 --> 00:00:04,000\r\nf\r\n\r\n");
    } else {
      EXPECT_EQ(JoinLines(srt),
                "1\r\n00:00:00,000 --> 00:00:02,000\r\na\r\n\r\n"
                "2\r\n00:00:00,000 --> 00:00:00,000\r\nb\r\n\r\n"
                "3\r\n00:00:00,000 --> 00:00:00,000\r\nc\r\n\r\n"
                "4\r\n00:00:00,000 --> 00:00:00,000\r\nd\r\n\r\n"
                "5\r\n00:00:05,000 --> 00:00:00,000\r\ne\r\n\r\n"
                "6\r\n00:00:03,000 --> 00:00:04,000\r\nf\r\n\r\n");
      EXPECT_EQ(doc.Dropped.clamped_cues, 4u);
    }
    for (TSubtitleFormat format : OutputFormatsInBoxOrder()) {
      SCOPED_TRACE(FormatOf(format).name);
      if (const BinaryWriter binary = FormatOf(format).binary_writer) {
        EXPECT_EQ(binary(doc), binary(kept));
        continue;
      }
      LineList got;
      LineList expected;
      doc.SaveToList(got, format);
      shown.SaveToList(expected, format);
      EXPECT_EQ(got, expected);
    }
  }
}

// A reader's error names its line after the classic text, in the error box
// and on the command line alike.
TEST(LoadFailure, NamesTheLineAtFault) {
  const struct {
    LineList lines;
    const char* box;  // after "File f is corrupted. Error on line: "
  } cases[] = {
      {{"1", "00:00:01,000 --> 00:00:0x,000", "a"}, "'0x' is not a valid integer value (line 2)"},
      {{"{1}{2}a", "", "{3}{x}b"}, "'x' is not a valid integer value (line 3)"},
      {{"[SUBTITLE]", "00:00:01.00,00:00:0x.00", "a"},
       "'0x' is not a valid integer value (line 2)"},
      // TMPlayer's message is the line's number itself.
      {{"00:00:01:a", "0 comments: none"}, "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    TSubtitles doc;
    doc.SetClassicReading(true);
    doc.SetFrameRate(25);
    bool frame_based = false;
    try {
      doc.LoadFromList(c.lines, frame_based);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
      const LoadFailure failure = FailureOf("f", e);
      EXPECT_EQ(failure.BoxText(), std::string("File f is corrupted. Error on line: ") + c.box);
    }
  }
  const LoadFailure no_line = FailureOf("f", SubtitleError("Cannot open file \"f\". Gone"));
  EXPECT_EQ(no_line.BoxText(), "File f is corrupted. Error on line: Cannot open file \"f\". Gone");
}

class FileIO : public testing::Test {
 protected:
  TempDir dir_;
  std::vector<std::string> reports_;
  CorruptionReporter reporter_ = [this](const LoadFailure& f) { reports_.push_back(f.BoxText()); };
  std::string Path(const char* name) { return dir_.path() + "/" + name; }
};

TEST_F(FileIO, LoadsAndSavesSubRipByteForByte) {
  const std::string text = "1\r\n00:00:01,500 --> 00:00:04,020\r\nHello\r\nWorld\r\n\r\n";
  WriteFileBytes(Path("a.srt"), text);
  TSubtitles doc;
  bool frame_based = true;
  ASSERT_TRUE(doc.LoadFromFile(Path("a.srt"), frame_based, reporter_));
  EXPECT_FALSE(frame_based);
  EXPECT_EQ(doc.SaveToFile(Path("b.srt"), sfSubRipper, false), Path("b.srt"));
  EXPECT_EQ(ReadFileBytes(Path("b.srt")), text);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(FileIO, CorruptedFileIsReportedWithItsPath) {
  WriteFileBytes(Path("bad.srt"), "1\r\n00:00:0x,000 --> 00:00:02,000\r\nx\r\n");
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_FALSE(doc.LoadFromFile(Path("bad.srt"), frame_based, reporter_));
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0],
            "File " + Path("bad.srt") +
                " is corrupted. Error on line: '0x' is not a valid integer value (line 2)");
}

TEST_F(FileIO, MissingFileIsReportedAsCannotOpen) {
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_FALSE(doc.LoadFromFile(Path("none.srt"), frame_based, reporter_));
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0], "File " + Path("none.srt") +
                             " is corrupted. Error on line: Cannot open file \"" +
                             Path("none.srt") + "\". No such file or directory");
}

TEST_F(FileIO, EmptyFileIsNotRecognisedWithoutAReport) {
  WriteFileBytes(Path("empty.srt"), "");
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_FALSE(doc.LoadFromFile(Path("empty.srt"), frame_based, reporter_));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(FileIO, ForcedExtensionWritesBesideTheInput) {
  TSubtitles doc;
  doc.Cues = {{1000, 2000, "x"}};
  WriteFileBytes(Path("a.txt"), "input");
  EXPECT_EQ(doc.SaveToFile(Path("a.txt"), sfSubRipper, true), Path("a.srt"));
  EXPECT_EQ(ReadFileBytes(Path("a.txt")), "input");
  EXPECT_EQ(ReadFileBytes(Path("a.srt")), "1\r\n00:00:01,000 --> 00:00:02,000\r\nx\r\n\r\n");
  // Without forcing, the input itself is replaced.
  doc.SaveToFile(Path("a.txt"), sfSubRipper, false);
  EXPECT_EQ(ReadFileBytes(Path("a.txt")), ReadFileBytes(Path("a.srt")));
}

TEST_F(FileIO, EmptyDocumentInSubRipIsAnEmptyFile) {
  TSubtitles doc;
  doc.SaveToFile(Path("e.srt"), sfSubRipper, false);
  EXPECT_EQ(ReadFileBytes(Path("e.srt")), "");
}

TEST_F(FileIO, UnwritableTargetRaisesCannotCreate) {
  TSubtitles doc;
  try {
    doc.SaveToFile(Path("no/such/dir.srt"), sfSubRipper, false);
    ADD_FAILURE() << "no error";
  } catch (const SubtitleError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + Path("no/such/dir.srt") + "\". No such file or directory");
  }
}

}  // namespace
}  // namespace vorlane
