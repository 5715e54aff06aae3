// Timecode list formats of DVD authoring tools: one entry per cue with a
// start and a stop timecode hh:mm:ss:cc. The fourth field is hundredths of a
// second, not a frame count, so no frame rate is involved.
#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// The first text line follows the stop on the timecode line.
constexpr CueLine kAdobeEncoreDVDCue[] = {
    {"%.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d %s", {kStartTimecode, kStopTimecode, kText}},
};

// Numbered from 1 in five columns; an empty line ends each entry.
constexpr CueLine kCavenaCue[] = {
    {"%5d       %.2d:%.2d:%.2d:%.2d   %.2d:%.2d:%.2d:%.2d\r\n%s\r\n",
     {kNumber, kStartTimecode, kStopTimecode, kText}},
};

// Numbered from 0000; an empty line ends each entry.
constexpr CueLine kDVDArchitectSubtitleScriptCue[] = {
    {"%.4d\t%.2d:%.2d:%.2d:%.2d\t%.2d:%.2d:%.2d:%.2d\t%s\r\n",
     {kIndex, kStartTimecode, kStopTimecode, kText}},
};

constexpr const char* kDVDJuniorHeader[] = {"Subtitle File Mark:2C:\\Video.avi"};
constexpr CueLine kDVDJuniorCue[] = {
    {"%.2d:%.2d:%.2d:%.2d&%.2d:%.2d:%.2d:%.2d#%s", {kStartTimecode, kStopTimecode, kText}},
};

constexpr CueLine kDVDSubtitleSystemCue[] = {
    {"%.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d %s", {kStartTimecode, kStopTimecode, kText}},
};

// The duration is given in seconds and hundredths, the seconds not split
// into minutes; a stop before the start gives a negative duration, its
// seconds rounded down (-0.5 s is -01:50).
constexpr CueLine kFABSubtitlerCue[] = {
    {"%.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d %.2d:%.2d\r\n%s\r\n",
     {kStartTimecode, kStopTimecode, kDurationSeconds, kDurationHundredths, kText}},
};

}  // namespace

void WriteAdobeEncoreDVD(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kAdobeEncoreDVDCue, "\r\n", {}});
}

void WriteCavena(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kCavenaCue, "\r\n", {}});
}

void WriteDVDArchitectSubtitleScript(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kDVDArchitectSubtitleScriptCue, "\r\n", {}});
}

void WriteDVDJunior(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kDVDJuniorHeader, kDVDJuniorCue, "<", {}});
}

void WriteDVDSubtitleSystem(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kDVDSubtitleSystemCue, "//", {}});
}

void WriteFABSubtitler(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kFABSubtitlerCue, "\r\n", {}});
}

}  // namespace vorlane
