// The subtitle document: an ordered list of cues and a frame rate, loaded
// from and saved to files through the catalogue of formats.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/encoding.h"
#include "subtitles/strings.h"

namespace vorlane {

class OutputSink;

// One cue. Its text is described in subtitles/cue_text.h.
struct SubtitleCue {
  std::int64_t Start = 0;  // milliseconds from the start of the video
  std::int64_t Stop = 0;   // milliseconds
  std::string Text;        // lines separated by one CR
  // Where the cue stands on the screen: 0 where the format puts it (bottom
  // centre), else 1 to 9 as on a numeric keypad (1 bottom left, 8 top
  // centre).
  std::uint8_t Place = 0;

  bool operator==(const SubtitleCue&) const = default;
};

// Something a reader passed over or mended without failing the file (a
// malformed cue left out, a NUL byte replaced): the line it stands on (0
// when none) and what happened, as the user is told.
struct ReadingWarning {
  int line = 0;
  std::string problem;

  bool operator==(const ReadingWarning&) const = default;
};

// What a conversion could not carry into its output, counted per file for
// the report.
struct DroppedCounts {
  std::size_t styles = 0;     // italic, bold, underline the output cannot show
  std::size_t positions = 0;  // placements the output cannot show
  std::size_t colours = 0;
  std::size_t rounded_times = 0;  // times moved by more than 1 ms
  std::size_t clamped_cues = 0;   // cues before zero written from zero
  std::size_t control_bytes = 0;  // NUL and other bytes the output cannot hold
  std::size_t reading_other = 0;  // what a reader dropped (double height, ...)

  bool operator==(const DroppedCounts&) const = default;
};

// A file that could not be loaded, and why.
struct LoadFailure {
  std::string path;
  std::string message;  // the failure's own message
  int line = 0;         // the 1-based line at fault, 0 when no line is

  // The error box's text: "File <path> is corrupted. Error on line:
  // <message>", followed by " (line N)" when a line is at fault and the
  // message does not consist of its number already.
  // The command line prints the same text.
  std::string BoxText() const;
};

// The failure of loading path that error describes.
LoadFailure FailureOf(const std::string& path, const std::exception& error);

// Receives the report of a file that could not be loaded. The window shows
// it in an error box, the command line prints it.
using CorruptionReporter = std::function<void(const LoadFailure& failure)>;

class TSubtitles {
 public:
  std::vector<SubtitleCue> Cues;
  // The reading warnings of the last load, in the order met.
  std::vector<ReadingWarning> Warnings;
  // What the last load and save dropped.
  mutable DroppedCounts Dropped;
  // Keeps the first kMostWarnings warnings, then says that more were left
  // out: a hostile file of bad lines costs no memory per line.
  static constexpr std::size_t kMostWarnings = 1000;
  void Warn(int line, std::string problem) {
    if (Warnings.size() < kMostWarnings) {
      Warnings.push_back({line, std::move(problem)});
    } else if (Warnings.size() == kMostWarnings) {
      Warnings.push_back({0, "more warnings left out"});
    }
  }

  // The frame rate exactly as set, so 23.976 stays 23.976 and frames convert
  // without drift. 0 means no rate is known.
  double FrameRate() const { return frame_rate_; }
  void SetFrameRate(double rate) { frame_rate_ = rate; }
  // The rate as a whole number, Round(rate) with halves to even, wherever a
  // format shows or tests it as one.
  std::int64_t WholeFrameRate() const;
  // The frame rate the last file loaded gives itself (a MicroDVD first cue
  // "{1}{1}23.976"), 0 when it gives none. A video beside the file comes
  // first; this rate comes before asking the user.
  double FileFrameRate() const { return file_frame_rate_; }

  // Reads the file, recognises its format and reads its cues. True when a
  // reader ran (for MicroDVD: would have run given a frame rate), with
  // frame_based telling whether the input is MicroDVD. False when the format
  // is not readable, or after a failure that was handed to report. A file in
  // a format that is refused by name ("VobSub subtitles are not supported")
  // is handed to refused instead, when given.
  bool LoadFromFile(const std::string& path, bool& frame_based, const CorruptionReporter& report,
                    const CorruptionReporter& refused = nullptr);
  // The same for bytes already read from the file at path.
  bool LoadFromBytes(const std::string& path, std::string_view bytes, bool& frame_based,
                     const CorruptionReporter& report, const CorruptionReporter& refused = nullptr);
  // The same for a file's bytes in memory; failures are raised, not
  // reported (a refused format as UnsupportedFormatError).
  // The bytes are only read: text that needs no conversion is read where it
  // lies, so the same bytes can be loaded again at another frame rate.
  bool LoadFromText(std::string_view bytes, bool& frame_based);
  // The same for lines in memory. A UTF-8 byte order mark at the start of
  // the first line is taken off; other encodings need LoadFromText.
  bool LoadFromList(const LineViews& lines, bool& frame_based);
  // Converts a file's bytes straight into format a block of cues at a
  // time, without ever holding the whole document, when LoadFromText would
  // read them by the SubRip rules as they are (no byte order mark, no
  // character set to convert, no format beyond the classic ones that comes
  // first) and the format streams without counting frames or adding to what
  // its writer writes. The output is then exactly what WriteDocument writes
  // after that load, the document is left as the load leaves it but
  // without the cues, and the number of cues is returned. Otherwise 0 is
  // returned, and out may hold the start of an output that must be thrown
  // away. With out null, the same answer is found without writing. A sink
  // that fails raises its error.
  std::size_t ConvertDirect(std::string_view bytes, TSubtitleFormat format, OutputSink* out,
                            std::size_t block = 4096);
  // The formats ConvertDirect can write: streamed, counting no frames.
  static bool WritesDirectly(TSubtitleFormat format);
  // The format of the last load: the one whose reader filled the cues (for
  // frame-based input still waiting for a rate, the one recognised), or
  // after a reader's error the one whose reader failed; sf0 when no format
  // was recognised.
  TSubtitleFormat FormatRead() const { return format_read_; }
  // Set by the second reading for the format whose reader filled the cues.
  void SetFormatRead(TSubtitleFormat format) { format_read_ = format; }
  // The classic rules alone: detection and the reader of the format found.
  // The second reading calls it between its own steps.
  bool ReadClassic(const LineViews& lines, bool& frame_based);

  // True when the file loaded last began with a UTF-8 byte order mark or
  // was decoded from UTF-16 or UTF-32: the output then begins with the mark
  // too.
  bool ByteOrderMark() const { return byte_order_mark_; }
  void SetByteOrderMark(bool on) { byte_order_mark_ = on; }

  // The character set of 8-bit input, converted to UTF-8 before reading:
  // an iconv name, "auto" for a guess by uchardet (ASCII and UTF-8 stay as
  // they are), or empty to read the bytes as they are (the default). Input
  // with a byte order mark is not converted.
  void SetInputEncoding(std::string name) { input_encoding_ = std::move(name); }
  // The output's character set. kSource writes the input's: converted back
  // into the input encoding when one was given (by default, into the code
  // page the input was read in). kNamed writes charset, an iconv name.
  // Formats that are UTF-8 by their definition (WebVTT, TTML, SBV, TTXT)
  // are always written in UTF-8, except with the classic setting.
  void SetOutputEncoding(OutputEncoding encoding, std::string charset = {}) {
    output_encoding_ = encoding;
    output_charset_ = std::move(charset);
  }
  // The format the document is to be written in, when known before it is
  // loaded: 8-bit text that this format writes back as it was read is then
  // not decoded.
  void SetTargetFormat(TSubtitleFormat format) { target_ = format; }
  // The character set the last input was read in ("UTF-8", "WINDOWS-1250",
  // "UTF-16LE"), empty for 8-bit text worked on as read; and whether it was
  // guessed.
  const std::string& InputCharset() const { return input_charset_; }
  bool CharsetGuessed() const { return charset_guessed_; }
  // The character set an output in format is written in: an iconv name, or
  // empty for the bytes as read.
  std::string OutputCharset(TSubtitleFormat format) const;

  // With classic reading on, only the classic rules read; off (the default),
  // the second reading takes over where they give up.
  bool ClassicReading() const { return classic_reading_; }
  void SetClassicReading(bool on) { classic_reading_ = on; }
  // Appends the format's output to lines (nothing for sf0), the first line
  // led by the UTF-8 byte order mark when the document has one. No format
  // shows a time before zero: a time before zero is written as zero, so a
  // cue wholly before zero is written from 0 to 0 with its text (counted in
  // Dropped). With the classic setting a cue that ends before zero, or at
  // zero having started before it, is left out instead.
  void SaveToList(LineList& lines, TSubtitleFormat format) const;
  // Why writing the document would put out no cue, or empty when some cue
  // would be written: "no cue in the file" when it holds none, "every cue
  // lies before zero" when no cue ends after zero and some starts or ends
  // before it (a retiming moved them all out of the video). A run never
  // writes such a document over anything.
  std::string_view NothingToWrite() const;
  // True when the last load was given text that holds nothing but line
  // breaks, blanks and NUL bytes (no bytes at all included): an empty file,
  // not a corrupted one. Such text is not read. The classic reading tells
  // it only when an input character set is asked for.
  bool BlankInput() const { return blank_input_; }
  // True when the classic rules cut the last text loaded at a NUL byte
  // that some other byte followed: what stood after it was not read.
  bool CutAtNul() const { return cut_at_nul_; }
  // True when SaveToList adds nothing to the writer's own lines: no byte
  // order mark, no time before zero, no character set to write back into.
  bool SavedAsWritten() const;
  // Writes the document in that format to path, or to path with its
  // extension replaced by the format's proper one. Returns the path written.
  std::string SaveToFile(const std::string& path, TSubtitleFormat format,
                         bool force_extension) const;

 private:
  bool Load(const LineViews& lines, bool& frame_based, bool byte_order_mark);
  // The input converted into UTF-8 when an input encoding asks for it;
  // false (and converted untouched) when the bytes are read as they are.
  bool ConvertInput(std::string_view bytes, std::string& converted);
  // The input as UTF-8, or as read: converted is filled when the text is
  // not the bytes as they are; true for Unicode decoded from UTF-16 or
  // UTF-32 (its output gets a byte order mark).
  bool DecodeInput(std::string_view bytes, std::string& converted);
  // text without its NUL bytes (ReplaceNulBytes, into out when it held
  // any), with a warning and the count of those dropped.
  std::string_view TakeOutNulBytes(std::string_view text, std::string& out);

  double frame_rate_ = 0;
  double file_frame_rate_ = 0;
  bool classic_reading_ = false;
  TSubtitleFormat format_read_ = sf0;
  bool byte_order_mark_ = false;
  std::string input_encoding_;
  OutputEncoding output_encoding_ = OutputEncoding::kSource;
  // The character set the last input was converted from, empty when none.
  std::string source_charset_;
  std::string input_charset_;
  bool charset_guessed_ = false;
  std::string output_charset_;
  TSubtitleFormat target_ = sf0;
  bool blank_input_ = false;
  bool cut_at_nul_ = false;
};

// "File <path> is corrupted. Error on line: <message>".
std::string CorruptedFileMessage(const std::string& path, const std::string& message);

// path with the extension of its file name replaced by ext (or ext appended
// when the file name has none). A dot in a folder name is not an extension.
std::string ReplaceExtension(const std::string& path, const std::string& ext);

}  // namespace vorlane
