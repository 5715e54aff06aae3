// What the tests of the second reading's formats share: a round trip
// through a format's own writer, reader and signature.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/second_reading.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {

// Writes cues in format (as the classic writer does, if asked), then reads the lines back by
// signature: the format must be recognised and give the cues back.
inline void ExpectRoundTrip(TSubtitleFormat format, const std::vector<SubtitleCue>& cues,
                            bool classic_writer = false) {
  TSubtitles written;
  written.SetClassicReading(classic_writer);
  written.Cues = cues;
  LineList lines;
  written.SaveToList(lines, format);
  // Items holding CR LF are several lines of the file.
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  LineList file;
  std::size_t from = 0;
  for (std::size_t at; (at = bytes.find("\r\n", from)) != std::string::npos; from = at + 2) {
    file.push_back(bytes.substr(from, at - from));
  }
  TSubtitles read;
  EXPECT_EQ(ReadBySignature(read, file), format);
  EXPECT_EQ(read.Cues, cues);
}

}  // namespace vorlane
