// The conversion of a SubRip file straight into a streamed output, a block
// of cues at a time: the usual case of a large file or of many files, done
// without the list of lines, the whole cue list or a heap string per cue.
// Everything else goes the full way, through the document.
#include <exception>
#include <vector>

#include "subtitles/detection.h"
#include "subtitles/encoding.h"
#include "subtitles/foreign_formats.h"
#include "subtitles/formats/broadcast.h"
#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

// The direct way does not give the full load's result for this file.
struct NotDirect {};
// The sink failed: its error stands, whatever way the file goes.
struct SinkFailed {
  std::exception_ptr error;
};

// Holds a block of cues and writes it once it is full. The cues, and the
// memory of their texts, are kept from block to block and from file to file
// of the same thread.
//
// It also watches every line for what the full load would find before the
// SubRip reader: the signature of a format beyond the classic ones in the
// head of the file, another format in the detection, a format refused by
// name. The reading then stops and the output is not wanted.
class BlockWriter final : public CueStore {
 public:
  BlockWriter(const TSubtitles& doc, StreamWriter writer, OutputSink* out, std::size_t block)
      : doc_(doc),
        writer_(writer),
        out_(out),
        block_(block == 0 ? 1 : block),
        watch_head_(!doc.ClassicReading()) {
    head_.clear();
  }

  SubtitleCue& Open() override {
    if (used_ == block_) Write();
    if (used_ == cues_.size()) cues_.emplace_back();
    SubtitleCue& cue = cues_[used_++];
    // A reused cue starts as a new one: nothing of the cue it held before
    // (its place above all) may pass to the next. The text keeps its room.
    cue.Start = 0;
    cue.Stop = 0;
    cue.Place = 0;
    cue.Text.clear();
    return cue;
  }

  void Line(std::string_view line) override {
    if (watch_head_) {
      if (head_.empty()) RefuseForeignFormat(line);
      head_.push_back(line);
      if (head_.size() == kSignatureLines) CheckHead();
    }
    // Feed answers false once a line has decided for the first test, which
    // is not SubRip's.
    if (!detector_.Feed(line)) throw NotDirect{};
  }

  // Writes what is held once the file was read whole; the number of cues
  // written in all.
  std::size_t Finish() {
    if (watch_head_) CheckHead();
    if (detector_.Result() != sfSubRipper) throw NotDirect{};
    Write();
    return written_;
  }

 private:
  // The second reading tries the signatures of the formats the classic
  // rules do not read before anything else.
  void CheckHead() {
    watch_head_ = false;
    for (const FormatInfo& info : FormatCatalogue()) {
      if (info.reader == nullptr && info.second_reader != nullptr && info.signature != nullptr &&
          info.signature(head_)) {
        throw NotDirect{};
      }
    }
  }

  void Write() {
    for (std::size_t i = 0; i < used_; ++i) {
      // Times before zero are taken out or moved by the save: the full way.
      if (cues_[i].Start < 0 || cues_[i].Stop < 0) throw NotDirect{};
    }
    if (out_ != nullptr && used_ > 0) {
      try {
        writer_(doc_, *out_, {StreamPart::kCues, cues_.data(), used_, written_});
      } catch (...) {
        throw SinkFailed{std::current_exception()};
      }
    }
    written_ += used_;
    used_ = 0;
  }

  const TSubtitles& doc_;
  StreamWriter writer_;
  OutputSink* out_;
  std::size_t block_;
  static thread_local std::vector<SubtitleCue> cues_;
  std::size_t used_ = 0;
  std::size_t written_ = 0;
  bool watch_head_;
  static thread_local LineViews head_;
  FormatDetector detector_;
};

thread_local std::vector<SubtitleCue> BlockWriter::cues_;
thread_local LineViews BlockWriter::head_;

}  // namespace

bool TSubtitles::WritesDirectly(TSubtitleFormat format) {
  const FormatInfo& info = FormatOf(format);
  return info.stream_writer != nullptr && info.writer != nullptr && !info.writes_frames;
}

std::size_t TSubtitles::ConvertDirect(std::string_view bytes, TSubtitleFormat format,
                                      OutputSink* out, std::size_t block) {
  if (!WritesDirectly(format) || !input_encoding_.empty() ||
      output_encoding_ != OutputEncoding::kSource || bytes.starts_with(kUtf8ByteOrderMark) ||
      bytes.find('\0') != std::string_view::npos) {
    return 0;
  }
  const FormatInfo& info = FormatOf(format);
  std::size_t cues = 0;
  try {
    if (!classic_reading_) {
      // A binary format is read from its bytes, never as SubRip lines.
      if (IsBinaryFormat(bytes)) return 0;
      RefuseForeignFormat(bytes);
      if (SniffUnicode(bytes).encoding != TextEncoding::kBytes) return 0;
      // 8-bit text the full way would decode (its output format is not told,
      // or cannot hold the code page) is left to it.
      const bool as_read = target_ != sf0 && !WritesUtf8Only(target_);
      if (!as_read && !IsUtf8(bytes)) return 0;
    }
    // The writers take what they need of the document (the classic setting,
    // the frame rate) from this one, which holds no cue meanwhile.
    Cues.clear();
    Warnings.clear();
    Dropped = {};
    BlockWriter blocks(*this, info.stream_writer, out, block);
    if (out != nullptr) {
      try {
        info.stream_writer(*this, *out, {StreamPart::kHead});
      } catch (...) {
        throw SinkFailed{std::current_exception()};
      }
    }
    ReadSubRipScanned(LineScanner(bytes), blocks, !classic_reading_);
    cues = blocks.Finish();
    if (cues == 0) return 0;  // the full load decides what a file without cues is
    if (out != nullptr) {
      try {
        info.stream_writer(*this, *out, {StreamPart::kTail});
        out->Flush();
      } catch (...) {
        throw SinkFailed{std::current_exception()};
      }
    }
  } catch (const SinkFailed& failed) {
    std::rethrow_exception(failed.error);
  } catch (...) {
    // A refused format, a reader's error, times before zero: the full way
    // finds and reports them.
    return 0;
  }
  byte_order_mark_ = false;
  blank_input_ = false;
  cut_at_nul_ = false;
  format_read_ = sfSubRipper;
  file_frame_rate_ = 0;
  source_charset_.clear();
  return cues;
}

}  // namespace vorlane
