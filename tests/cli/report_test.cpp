#include "cli/report.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(JsonStringTest, EscapesWhatJsonNeedsAndKeepsEveryByte) {
  const struct {
    std::string bytes;
    const char* json;
  } cases[] = {
      {"", R"("")"},
      {"/subs/film.srt", R"("/subs/film.srt")"},
      {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
      {"a\nb\rc\td", R"("a\nb\rc\td")"},
      {std::string("\0\x01\x1f\x7f", 4), R"("\u0000\u0001\u001f)"
                                         "\x7f\""},
      // Well-formed UTF-8 stays as it is, up to U+10FFFF.
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xac \xf4\x8f\xbf\xbf",
       "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xac \xf4\x8f\xbf\xbf\""},
      // A Latin-1 name: each byte that is not UTF-8 on its own.
      {"caf\xe9.srt", R"("caf\u00e9.srt")"},
      // Cut, overlong, surrogate and beyond U+10FFFF: escaped byte by byte,
      // and what follows a broken sequence is read afresh.
      {"\xc3", R"("\u00c3")"},
      {"\xe2\x82"
       "A",
       R"("\u00e2\u0082A")"},
      {"\xc0\xaf", R"("\u00c0\u00af")"},
      {"\xe0\x80\xaf", R"("\u00e0\u0080\u00af")"},
      {"\xed\xa0\x80", R"("\u00ed\u00a0\u0080")"},
      {"\xf4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")"},
      {"\xff\xc3\xa9", "\"\\u00ff\xc3\xa9\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.json;
}

TEST(RunReportTest, CorruptedAndAbandonedFilesFailTheOthersAreSkipped) {
  const struct {
    FileOutcome outcome;
    SkipReason reason;
    InputResult result;
    const char* text;
  } cases[] = {
      {FileOutcome::kConverted, SkipReason::kNotRecognised, InputResult::kConverted, ""},
      {FileOutcome::kSkipped, SkipReason::kNotRecognised, InputResult::kSkipped,
       "format not recognised or not readable"},
      {FileOutcome::kSkipped, SkipReason::kCorrupted, InputResult::kFailed, "the report"},
      {FileOutcome::kSkipped, SkipReason::kInputNeedsFrameRate, InputResult::kSkipped,
       "the input counts frames and needs a frame rate"},
      {FileOutcome::kSkipped, SkipReason::kOutputNeedsFrameRate, InputResult::kSkipped,
       "the output format MicroDVD counts frames and needs a frame rate"},
      {FileOutcome::kAbandoned, SkipReason::kNotRecognised, InputResult::kFailed, "the report"},
  };
  RunReport report;
  for (const auto& c : cases) {
    FileRecord record;
    record.outcome = c.outcome;
    record.skip_reason = c.reason;
    record.message = "the report";
    const InputEntry entry = EntryOf(record, sfMicroDVD);
    EXPECT_EQ(entry.result, c.result) << c.text;
    EXPECT_EQ(entry.reason, c.text);
    report.Add(entry);
  }
  EXPECT_EQ(report.SummaryLine(), "converted 1, skipped 3, failed 2");
}

}  // namespace
}  // namespace vorlane
