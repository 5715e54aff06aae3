// DVD authoring formats: subtitle lists with a start and a stop timecode per
// entry (hh:mm:ss:xx, xx in hundredths of a second, never frames), some of
// them behind a fixed settings header. Written only (the Spruce subtitle
// file, read as well, has a unit of its own: spruce_stl.cpp).
#include <string>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

constexpr FixedLines kNone{};

constexpr CueLine kMacCue[] = {
    {"%.2d:%.2d:%.2d:%.2d\t%.2d:%.2d:%.2d:%.2d\t%s", {kStartTimecode, kStopTimecode, kText}}};

constexpr const char* kPinnacleHeader[] = {
    "-------------------------------------------------",
    "#INPOINT OUTPOINT PATH",
    "-------------------------------------------------",
};
constexpr const char* kPinnacleFooter[] = {"-------------------------------------------------"};
constexpr CueLine kPinnacleCue[] = {
    {"%.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d %s", {kStartTimecode, kStopTimecode, kText}}};

constexpr const char* kScenaristHeader[] = {
    "st_format 2",
    "Display_Start\tnon_forced",
    "TV_Type\t\tPAL",
    "Tape_Type\tNON_DROP",
    "Pixel_Area\t(2 576)",
    "Display_Area\t(0 2 719 574)",
    "Color\t\t(9 3 4 3)",
    "Contrast\t(15 15 15 0)",
    "E2\t\t(0 0 255 ===)",
    "E1\t\t(255 0 0 ===)",
    "PA\t\t(0 0 0 ===)",
    "BG\t\t(255 255 255 ===)",
    "Directory\t.",
    "#####################################################",
    "SP_NUMBER\tSTART\t\tEND\t\tFILE_NAME",
};
constexpr CueLine kScenaristCue[] = {{"%d\t\t%.2d:%.2d:%.2d:%.2d\t%.2d:%.2d:%.2d:%.2d\t%s",
                                      {kNumber, kStartTimecode, kStopTimecode, kText}}};

// Numbered from 0. The item ends with CR LF, so every cue is followed by an
// empty line.
constexpr CueLine kSonicCreatorCue[] = {{"%.4d  %.2d:%.2d:%.2d:%.2d  %.2d:%.2d:%.2d:%.2d  %s\r\n",
                                         {kIndex, kStartTimecode, kStopTimecode, kText}}};

// Unlike Sonic Scenarist's, the first line has a tab after "st_format".
constexpr const char* kMaestroHeader[] = {
    "st_format\t2",
    "Display_Start\tnon_forced",
    "TV_Type\t\tPAL",
    "Tape_Type\tNON_DROP",
    "Pixel_Area\t(0 573)",
    "Directory",
    "",
    "SP_NUMBER\tSTART\t\tEND\t\tFILE_NAME",
    "Color\t(0 1 2 3)",
    "Contrast\t(0 15 15 15)",
};
constexpr CueLine kMaestroCue[] = {{"%.4d\t\t%.2d:%.2d:%.2d:%.2d\t%.2d:%.2d:%.2d:%.2d\t%s",
                                    {kNumber, kStartTimecode, kStopTimecode, kText}}};

// Ulead DVD Workshop 2a shares the header and counted footer of version 2
// (WriteUleadLayout); only its cue lines differ. The text is a string of its own, so an empty text
// gives an empty line.
constexpr CueLine kUleadCue[] = {
    {"#%d %.2d:%.2d:%.2d.%.2d %.2d:%.2d:%.2d.%.2d", {kIndex, kStartTimecode, kStopTimecode}},
    {"%s", {kText}},
};

}  // namespace

void WriteMACDVDStudioPro(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kMacCue, "<P>", kNone});
}

void WritePinnacleImpression(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kPinnacleHeader, kPinnacleCue, " ", kPinnacleFooter});
}

void WriteSonicScenarist(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kScenaristHeader, kScenaristCue, " ", kNone});
}

void WriteSonicDVDCreator(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kSonicCreatorCue, "\r\n", kNone});
}

void WriteSpruceDVDMaestro(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kMaestroHeader, kMaestroCue, " ", kNone});
}

void WriteUleadDVDWorkshop2a(const TSubtitles& doc, LineList& lines) {
  WriteUleadLayout(doc, lines, kUleadCue);
}

}  // namespace vorlane
