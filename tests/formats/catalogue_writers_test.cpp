#include <gtest/gtest.h>

#include <filesystem>

#include "subtitles/catalogue.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

// Every classic format, and every later one the catalogue gives a writer,
// writes: it appends to the list it is given, and SaveToFile with forced extensions puts exactly
// those bytes into a file named with the catalogue's extension.
TEST(CatalogueWriters, EveryOutputFormatWritesUnderItsOwnExtension) {
  TempDir dir;
  TSubtitles doc;
  doc.SetFrameRate(25);  // for the formats that count frames
  doc.Cues = {{1500, 4020, "Hello\rWorld"}, {5000, 7000, ""}};
  int formats = 0;
  for (const FormatInfo& info : FormatCatalogue()) {
    if (info.value == sf0 || (!IsClassicFormat(info.value) && info.writer == nullptr)) continue;
    ++formats;
    SCOPED_TRACE(std::string(info.name));
    if (info.writer == nullptr) {
      ADD_FAILURE() << "no writer";
      continue;
    }

    const std::string source = dir.path() + "/film." + std::string(info.name) + ".in";
    const std::string expected_target =
        dir.path() + "/film." + std::string(info.name) + "." + std::string(info.extension);
    if (info.binary_writer != nullptr) {
      // Written as bytes: the file holds exactly the binary writer's bytes.
      EXPECT_EQ(doc.SaveToFile(source, info.value, true), expected_target);
      EXPECT_EQ(ReadFileBytes(expected_target), info.binary_writer(doc));
      continue;
    }
    LineList lines{"kept"};
    doc.SaveToList(lines, info.value);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "kept");
    lines.erase(lines.begin());

    EXPECT_EQ(doc.SaveToFile(source, info.value, true), expected_target);
    EXPECT_EQ(ReadFileBytes(expected_target), JoinLines(lines));
    EXPECT_FALSE(std::filesystem::exists(source));
  }
  EXPECT_EQ(formats, static_cast<int>(OutputFormatsInBoxOrder().size()));
}

}  // namespace
}  // namespace vorlane
