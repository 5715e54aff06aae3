// Karaoke lyrics LRC: lines that open with one or more time stamps
// "[mm:ss.xx]" and hold the lyric after them, between tag lines such as
// "[ar:Artist]". A line shows from its stamp until the next stamp; the writer
// gives every cue a stamp of its own for the stop, with no text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

constexpr const char* kLrcHeader[] = {
    "[ti:Project title]", "[ar:Project author]", "[la:af]", "Project title", "",
};
// [mm:ss:xx]: the minutes within the hour, so whole hours are not shown.
constexpr CueLine kClassicLrcCue[] = {
    {"[%.2d:%.2d:%.2d]%s", {kStartMinutes, kStartSeconds, kStartHundredths, kText}},
    {"[%.2d:%.2d:%.2d]", {kStopMinutes, kStopSeconds, kStopHundredths}},
};
// [mm:ss.xx], as players read it: all the minutes, past an hour too.
constexpr CueLine kLrcCue[] = {
    {"[%.2d:%.2d.%.2d]%s", {kStartTotalMinutes, kText}},
    {"[%.2d:%.2d.%.2d]", {kStopTotalMinutes}},
};

// The last line has no stamp after it: it is shown this long (5 s), as
// long as a lyric line typically stays.
constexpr std::int64_t kLastLineLength = 5000;

// A stamp's time: minutes and seconds, then hundredths after '.' or ':'
// (the writer's form), or milliseconds, or no fraction.
std::optional<std::int64_t> StampTime(std::string_view s) {
  const std::size_t first = s.find(':');
  const std::size_t second = first == std::string_view::npos ? first : s.find(':', first + 1);
  if (second == std::string_view::npos) return ParseClock(s, 2);
  std::string dotted(s);
  dotted[second] = '.';
  return ParseClock(dotted, 2);
}

// Length of the stamp at the start of s ("[" digits ":" ... "]", a minus
// sign allowed before the digits), 0 when s does not open with one.
std::size_t StampLength(std::string_view s) {
  const std::size_t digit = s.size() > 1 && s[1] == '-' ? 2 : 1;
  if (s.size() < 4 || s[0] != '[' || s.size() <= digit || !IsDigit(s[digit])) return 0;
  const std::size_t close = s.find(']');
  if (close == std::string_view::npos ||
      s.substr(1, close - 1).find(':') == std::string_view::npos) {
    return 0;
  }
  return close + 1;
}

// A tag line: "[name:value]" with a name of letters ([ar:...], [offset:...]).
bool IsTagLine(std::string_view s) {
  if (s.size() < 3 || s[0] != '[' || s.back() != ']') return false;
  std::size_t n = 1;
  while (n < s.size() && ((s[n] >= 'a' && s[n] <= 'z') || (s[n] >= 'A' && s[n] <= 'Z'))) ++n;
  return n > 1 && n < s.size() && s[n] == ':';
}

constexpr std::size_t kLongestWordStamp = 24;

// The lyric without the word stamps "<mm:ss.xx>" of enhanced files.
std::string WithoutWordStamps(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  // The next '>' is searched for once per '>', not once per '<', so a line
  // of many '<' costs no more than its length.
  std::size_t next_close = 0;
  while (i < text.size()) {
    if (text[i] == '<' && next_close != std::string_view::npos && next_close <= i) {
      next_close = text.find('>', i);
    }
    // A stamp is a few characters long ("<123:45.678>" at most in practice).
    const std::size_t close = text[i] == '<' ? next_close : std::string_view::npos;
    if (close != std::string_view::npos && close - i <= kLongestWordStamp &&
        StampTime(text.substr(i + 1, close - i - 1))) {
      i = close + 1;
    } else {
      out.push_back(text[i++]);
    }
  }
  return std::string(Trim(out));
}

struct Stamp {
  std::int64_t time;
  std::string text;
};

}  // namespace

void ReadKaraokeLyricsLRC(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  std::vector<Stamp> stamps;
  std::int64_t offset = 0;  // milliseconds
  CueTolerance tolerance(doc);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    // [offset:ms] moves every stamp: a positive offset shows the lyrics sooner.
    if (IsTagLine(line) && Lower(line.substr(0, 8)) == "[offset:") {
      const std::string_view value = Trim(line.substr(8, line.size() - 9));
      // A tag holds text, and no text in it costs the file.
      try {
        if (!value.empty()) offset = StrToInt(value.substr(0, 1) == "+" ? value.substr(1) : value);
      } catch (const SubtitleError&) {
        doc.Warn(static_cast<int>(index) + 1, NotValid(value, "offset") + "; ignored");
      }
      continue;
    }
    std::vector<std::int64_t> times;
    bool malformed = false;
    while (const std::size_t length = StampLength(line)) {
      const auto time = StampTime(line.substr(1, length - 2));
      if (!time) {
        tolerance.Malformed(static_cast<int>(index) + 1,
                            NotValid(line.substr(0, length), "time stamp"), "line left out");
        malformed = true;
        break;
      }
      times.push_back(*time);
      line = Trim(line.substr(length));
    }
    if (malformed) continue;
    if (!times.empty()) tolerance.Read();
    // Several stamps on one line share its lyric.
    const std::string text = WithoutWordStamps(line);
    for (std::int64_t time : times) stamps.push_back({time, text});
  }
  tolerance.Check();
  for (Stamp& stamp : stamps) stamp.time = CheckedMs(stamp.time - offset);
  std::stable_sort(stamps.begin(), stamps.end(),
                   [](const Stamp& a, const Stamp& b) { return a.time < b.time; });
  // A stamp without text only ends the line before it.
  for (std::size_t i = 0; i < stamps.size(); ++i) {
    if (stamps[i].text.empty()) continue;
    std::size_t next = i + 1;
    while (next < stamps.size() && stamps[next].time == stamps[i].time) ++next;
    const std::int64_t stop = next < stamps.size()
                                  ? stamps[next].time
                                  : std::min(stamps[i].time + kLastLineLength, kLatestTime);

    doc.Cues.push_back({stamps[i].time, stop, stamps[i].text});
  }
}

void WriteKaraokeLyricsLRC(const TSubtitles& doc, LineList& lines) {
  // A lyric is one line: with the classic setting the text's lines run
  // together, else they are joined by a space.
  if (doc.ClassicReading()) {
    WriteLayout(doc, lines, {kLrcHeader, kClassicLrcCue, "", {}});
  } else {
    WriteLayout(doc, lines, {kLrcHeader, kLrcCue, " ", {}});
  }
}

// Most lines that are not tags open with a stamp, and some stamp is followed
// by a lyric on its line (SubViewer's "[hh:mm:ss]" lines stand alone).
bool IsKaraokeLyricsLRC(const LineViews& lines) {
  std::size_t stamped = 0, other = 0;
  bool lyric = false;
  // Signatures run on every file: the first lines tell, not the whole.
  constexpr std::size_t kLinesLookedAt = 200;
  for (std::size_t index = 0; index < lines.size() && index < kLinesLookedAt; ++index) {
    std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty() || IsTagLine(line)) continue;
    const std::size_t length = StampLength(line);
    if (length == 0 || !StampTime(line.substr(1, length - 2))) {
      ++other;
      continue;
    }
    ++stamped;
    while (const std::size_t more = StampLength(line)) line = Trim(line.substr(more));
    if (!line.empty()) lyric = true;
  }
  return lyric && stamped >= 2 * other;
}

}  // namespace vorlane
