// Arbitrary bytes made hostile the ways real attacks on the readers go:
// NUL bytes strewn through them, and the text wrapped in elements nested
// as deep as the first byte says. Everything goes through the whole load
// of the default reading (decoding, NUL handling, the second reading).
// Besides the usual rule (a failure is a SubtitleError with a message), no
// cue may hold a NUL byte, and the document must say what it dropped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"

namespace {

using namespace vorlane;

void Load(const std::string& text) {
  TSubtitles doc;
  doc.SetFrameRate(25);
  bool frame_based = false;
  try {
    doc.LoadFromText(text, frame_based);
  } catch (const SubtitleError& e) {
    if (e.what()[0] == '\0') std::abort();
    return;
  }
  for (const SubtitleCue& cue : doc.Cues) {
    if (cue.Text.find('\0') != std::string::npos) std::abort();
  }
  // What a run decides from the document must hold for any of them.
  (void)doc.NothingToWrite();
}

std::string Nested(std::string_view open, std::string_view close, int depth,
                   std::string_view inside) {
  std::string out;
  for (int i = 0; i < depth; ++i) out += open;
  out += inside;
  for (int i = 0; i < depth; ++i) out += close;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int depth = data[0] * 2;  // up to 510: beyond the deepest nesting read
  std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Every 0x01 byte becomes a NUL, so the fuzzer places them at will.
  for (char& c : body) {
    if (c == '\x01') c = '\0';
  }
  Load(body);
  Load("WEBVTT\n\n" + body);
  Load("\xEF\xBB\xBFWEBVTT\n\n00:00:01.000 --> 00:00:02.000\n" + body);
  const std::string cue = "<p begin=\"00:00:01.000\" end=\"00:00:02.000\">" + body + "</p>";
  Load("<?xml version=\"1.0\"?>\n<tt xmlns=\"http://www.w3.org/ns/ttml\"><body>" +
       Nested("<div>\n", "</div>\n", depth, cue) + "</body></tt>\n");
  Load("<tt xmlns=\"http://www.w3.org/ns/ttml\"><body><div><p begin=\"1s\" end=\"2s\">" +
       Nested("<span>", "</span>", depth, body) + "</p></div></body></tt>");
  Load("<SAMI><BODY><SYNC Start=1000>" + Nested("<P><FONT>", "</FONT></P>", depth, body) +
       "</BODY></SAMI>");
  Load("[Script Info]\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,," +
       Nested("{", "}", depth, body) + "\n");
  return 0;
}
