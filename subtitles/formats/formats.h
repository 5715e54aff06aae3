// Every reader and writer of the catalogue, and the streaming twins of the
// most used writers, grouped by the unit that holds both directions of
// their formats. The catalogue table refers to them.
#pragma once

#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;
class OutputSink;
class LineScanner;
struct SubtitleCue;
struct StreamPart;

// SubRip (subrip.cpp)
void ReadSubRip(TSubtitles& doc, const LineViews& lines);
// Where a reader that goes through a file once puts its cues: Open starts
// the next cue, the ones opened before it being complete. Line sees every
// line before the reader does; an exception it raises ends the reading.
class CueStore {
 public:
  virtual ~CueStore() = default;
  virtual SubtitleCue& Open() = 0;
  virtual void Line(std::string_view /*line*/) {}
};
// ReadSubRip's rules for the lines of a scan, each cue handed to store.
// The text of a SubRip cue as the program keeps it: SubStation overrides
// ({\an8}, {\i1}) become tags and the cue's place, references characters,
// tags the program does not keep (<s>, unknown ones) are left out.
void SubRipTextToModel(SubtitleCue& cue);
// MicroDVD's control codes ({y:i}, {Y:b}, {c:$BBGGRR}) and "/" italics as
// the program's tags.
void MicroDVDTextToModel(SubtitleCue& cue);
void ReadSubRipScanned(LineScanner lines, CueStore& store, bool precise);
void WriteSubRip(const TSubtitles& doc, LineList& lines);
void StreamSubRip(const TSubtitles& doc, OutputSink& out, const StreamPart& part);

// SubRip as real files hold it, for the second reading (subrip_lenient.cpp)
bool SubRipLenientSignature(const LineViews& lines);
void ReadSubRipLenient(TSubtitles& doc, const LineViews& lines);

// MicroDVD (microdvd.cpp)
void ReadMicroDVD(TSubtitles& doc, const LineViews& lines);
// The frame rate a MicroDVD file gives in its first cue, "{1}{1}23.976" (or
// "{0}{0}25"), or 0 when its first cue is an ordinary one. Such a cue is no
// cue: ReadMicroDVD passes over it.
double MicroDVDFileFrameRate(const LineViews& lines);
void WriteMicroDVD(const TSubtitles& doc, LineList& lines);
void StreamMicroDVD(const TSubtitles& doc, OutputSink& out, const StreamPart& part);

// MPL2 and TMPlayer (mpl2_tmplayer.cpp)
void ReadMPL2(TSubtitles& doc, const LineViews& lines);
void WriteMPL2(const TSubtitles& doc, LineList& lines);
void ReadTMPlayer(TSubtitles& doc, const LineViews& lines);
void WriteTMPlayer(const TSubtitles& doc, LineList& lines);

// SubViewer 1 and 2 (subviewer.cpp)
void ReadSubViewer1(TSubtitles& doc, const LineViews& lines);
void WriteSubViewer1(const TSubtitles& doc, LineList& lines);
void ReadSubViewer2(TSubtitles& doc, const LineViews& lines);
void WriteSubViewer2(const TSubtitles& doc, LineList& lines);
// SubViewer 2 as other programs write it, read where the classic rules give
// up: an [INFORMATION] or [SUBTITLE] header and fractions of one to three
// digits, whatever the file's name.
void ReadSubViewer2Lenient(TSubtitles& doc, const LineViews& lines);
bool SubViewer2LenientSignature(const LineViews& lines);

// TurboTitler, ViPlay and Zero G (turbotitler_viplay_zerog.cpp)
void ReadTurboTitler(TSubtitles& doc, const LineViews& lines);
void WriteTurboTitler(const TSubtitles& doc, LineList& lines);
void ReadViPlay(TSubtitles& doc, const LineViews& lines);
void WriteViPlay(const TSubtitles& doc, LineList& lines);
void ReadZeroG(TSubtitles& doc, const LineViews& lines);
void WriteZeroG(const TSubtitles& doc, LineList& lines);

// StreamSubText Script and TTXT (streamsubtext_ttxt.cpp)
void ReadStreamSubTextScript(TSubtitles& doc, const LineViews& lines);
void WriteStreamSubTextScript(const TSubtitles& doc, LineList& lines);
void ReadTTXT(TSubtitles& doc, const LineViews& lines);
void WriteTTXT(const TSubtitles& doc, LineList& lines);
// TTXT read as XML, for the second reading (ttxt_lenient.cpp)
bool TTXTLenientSignature(const LineViews& lines);
void ReadTTXTLenient(TSubtitles& doc, const LineViews& lines);

// caption-line formats (caption_lines.cpp)
void WriteCheetah(const TSubtitles& doc, LineList& lines);
void WriteDual(const TSubtitles& doc, LineList& lines);
void WriteCPC600(const TSubtitles& doc, LineList& lines);
void WriteDKSSubtitleFormat(const TSubtitles& doc, LineList& lines);

// frame-numbered formats (frame_numbered.cpp)
void WriteMPL(const TSubtitles& doc, LineList& lines);
void WriteMacSub(const TSubtitles& doc, LineList& lines);
void WriteAQTitle(const TSubtitles& doc, LineList& lines);

// StreamSubText Player (markup.cpp)
void WriteStreamSubTextPlayer(const TSubtitles& doc, LineList& lines);

// timecode list formats (timecode_lists.cpp)
void WriteAdobeEncoreDVD(const TSubtitles& doc, LineList& lines);
void WriteCavena(const TSubtitles& doc, LineList& lines);
void WriteDVDArchitectSubtitleScript(const TSubtitles& doc, LineList& lines);
void WriteDVDJunior(const TSubtitles& doc, LineList& lines);
void WriteDVDSubtitleSystem(const TSubtitles& doc, LineList& lines);
void WriteFABSubtitler(const TSubtitles& doc, LineList& lines);

// block formats with header and footer (block_formats.cpp)
void WriteUleadDVDWorkshop2(const TSubtitles& doc, LineList& lines);
void WriteDVDSubtitle(const TSubtitles& doc, LineList& lines);
void WriteInscriberCG(const TSubtitles& doc, LineList& lines);

// DVD authoring formats (dvd_authoring.cpp)
void WriteMACDVDStudioPro(const TSubtitles& doc, LineList& lines);
void WritePinnacleImpression(const TSubtitles& doc, LineList& lines);
void WriteSonicScenarist(const TSubtitles& doc, LineList& lines);
void WriteSonicDVDCreator(const TSubtitles& doc, LineList& lines);
void WriteSpruceDVDMaestro(const TSubtitles& doc, LineList& lines);
void WriteUleadDVDWorkshop2a(const TSubtitles& doc, LineList& lines);

// caption and broadcast formats (caption_broadcast.cpp)
void WriteJACOSub2(const TSubtitles& doc, LineList& lines);
void WritePowerPixel(const TSubtitles& doc, LineList& lines);
void WriteRealTime(const TSubtitles& doc, LineList& lines);
void WriteScantitle890(const TSubtitles& doc, LineList& lines);
void WriteSofni(const TSubtitles& doc, LineList& lines);
void WriteWincapsTextTimecoded(const TSubtitles& doc, LineList& lines);

// player and lyrics formats (player_lyrics.cpp)
void WriteKaraokeLyricsVKT(const TSubtitles& doc, LineList& lines);
void WriteOVRScript(const TSubtitles& doc, LineList& lines);
void WritePowerDivX(const TSubtitles& doc, LineList& lines);
void WriteQuickTimeText(const TSubtitles& doc, LineList& lines);
void WriteSubCreator1x(const TSubtitles& doc, LineList& lines);
void WriteSubSonic(const TSubtitles& doc, LineList& lines);

// Formats read by the second reading, each with its signature
// (bool IsX(lines): the lines certainly are in the format).

// SubStation Alpha v4 and v4+ (substation_alpha.cpp)
void ReadAdvancedSSA(TSubtitles& doc, const LineViews& lines);
void WriteAdvancedSSA(const TSubtitles& doc, LineList& lines);
void StreamAdvancedSSA(const TSubtitles& doc, OutputSink& out, const StreamPart& part);
bool IsAdvancedSSA(const LineViews& lines);

// YouTube SBV (sbv.cpp)
void ReadSBV(TSubtitles& doc, const LineViews& lines);
void WriteSBV(const TSubtitles& doc, LineList& lines);
bool IsSBV(const LineViews& lines);

// YouTube timed-text XML, read only (youtube_timed_text.cpp)
void ReadYouTubeTimedText(TSubtitles& doc, const LineViews& lines);
bool IsYouTubeTimedText(const LineViews& lines);

// Karaoke lyrics LRC (lrc.cpp)
void ReadKaraokeLyricsLRC(TSubtitles& doc, const LineViews& lines);
void WriteKaraokeLyricsLRC(const TSubtitles& doc, LineList& lines);
bool IsKaraokeLyricsLRC(const LineViews& lines);

// Spruce subtitle file (spruce_stl.cpp)
void ReadSpruceSubtitleFile(TSubtitles& doc, const LineViews& lines);
void WriteSpruceSubtitleFile(const TSubtitles& doc, LineList& lines);
bool IsSpruceSubtitleFile(const LineViews& lines);

// SAMI (sami.cpp)
bool IsSAMI(const LineViews& lines);
void ReadSAMI(TSubtitles& doc, const LineViews& lines);
void WriteSAMI(const TSubtitles& doc, LineList& lines);
void StreamSAMI(const TSubtitles& doc, OutputSink& out, const StreamPart& part);

// WebVTT (webvtt.cpp)
bool IsWebVTT(const LineViews& lines);
void ReadWebVTT(TSubtitles& doc, const LineViews& lines);
// The place on the screen (numeric keypad, 0 for the default bottom centre)
// of a WebVTT cue's settings "line:0 align:start position:10%".
std::uint8_t WebVTTCuePlace(std::string_view settings);
void WriteWebVTT(const TSubtitles& doc, LineList& lines);

// TTML and DFXP (ttml.cpp)
bool IsTTML(const LineViews& lines);
void ReadTTML(TSubtitles& doc, const LineViews& lines);
void WriteTTML(const TSubtitles& doc, LineList& lines);

}  // namespace vorlane
