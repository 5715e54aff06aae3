// StreamSubText Script, a tab-separated script with a short header, and
// TTXT, the XML description of a 3GPP timed-text stream. Both are read by
// splitting lines with a pattern; TTXT is not parsed as XML.
#include "subtitles/decimal.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// The fields both writers show of a time t: hours, minutes and seconds
// through milliseconds, and the remainder of the milliseconds taken with
// the sign of t.
struct ScriptTime {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
  std::int64_t milliseconds;  // ms mod 1000, truncating
  std::int64_t hundredths;    // Round(milliseconds / 10)
};

ScriptTime SplitScriptTime(std::int64_t time) {
  const MsSplit t = SplitThroughMs(time);
  const std::int64_t ms = time % 1000;
  return {t.hours, t.minutes, t.seconds, ms, RoundHalfEven(static_cast<double>(ms) / 10.0)};
}

// The text with its character references ("&amp;", "&#233;") as the
// characters; an '&' that starts none stays.
std::string DecodedReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t taken = text[i] == '&' ? AppendCharReference(text, i, out) : 0;
    if (taken == 0) {
      out.push_back(text[i]);
    } else {
      i += taken - 1;
    }
  }
  return out;
}

}  // namespace

void ReadStreamSubTextScript(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  bool header = false;
  bool titles = false;
  // The file's own frame rate only switches cue reading on; it never
  // becomes the document's.
  double rate = 0.0;
  FieldList fields;
  ForEachLine(lines, [&](std::string_view line) {
    if (!header && Contains(line, "SST")) header = true;
    if (header && !titles && Contains(line, "[TITLES]")) titles = true;
    if (titles && rate < 1.0 && Contains(line, "fps=")) {
      // The value is the line from its fifth character on, written with the
      // user's decimal separator. While it stays below 1, a later "fps="
      // line replaces it.
      rate = StrToFloat(CopyTail(line, 5), DecimalSeparator());
    }
    if (rate > 0.0 && SplitByPattern(line, "?\t?\t?:?:?.?\t?:?:?.?\t?\t?", fields)) {
      // Fields 0 and 1 (number and style) and 11 (after the last tab) are
      // not used. An empty field moves the later ones down.
      SubtitleCue cue;
      const bool precise = !doc.ClassicReading();
      cue.Start = TimeFromFields(fields, 2, Fraction::kMilliseconds, precise);
      cue.Stop = TimeFromFields(fields, 6, Fraction::kMilliseconds, precise);
      cue.Text = ReplaceAll(ListItem(fields, 10), "~", "\r");
      cues.push_back(std::move(cue));
    }
  });
}

void WriteStreamSubTextScript(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"SST 2.0.73", "[TITLES]"});
  lines.push_back(FormatTemplate("fps=%d", {doc.WholeFrameRate()}));
  int number = 0;
  for (const auto& cue : doc.Cues) {
    // Hundredths are shown: the times are rounded to them first.
    const ScriptTime a = SplitScriptTime(Centiseconds(cue.Start) * 10);
    const ScriptTime b = SplitScriptTime(Centiseconds(cue.Stop) * 10);
    // "Default" is joined to the start time by a space, not a tab, and the
    // fractions are hundredths: this reader does not read the result back.
    lines.push_back(
        FormatTemplate("%d\tDefault %.2d:%.2d:%.2d.%.2d\t%.2d:%.2d:%.2d.%.2d\t%s\tSubRip",
                       {++number, a.hours, a.minutes, a.seconds, a.hundredths, b.hours, b.minutes,
                        b.seconds, b.hundredths, TextWithBreaks(doc, cue, "~")}));
  }
}

void ReadTTXT(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  FieldList fields;
  ForEachLine(lines, [&](std::string_view line) {
    // Each pattern character is a separator of its own, so "<TextSample" is
    // found letter by letter. Lines that do not split (the declaration, the
    // header elements, closing tags) are passed over.
    if (!SplitByPattern(line, "?<TextSample?sampleTime=\"?:?:?.?\"?text=\"'?\">?", fields)) {
      return;
    }
    SubtitleCue cue;
    const bool precise = !doc.ClassicReading();
    cue.Start = TimeFromFields(fields, 1, Fraction::kMilliseconds, precise);
    // The stop is not stored; a sample lasts three seconds.
    cue.Stop = precise ? CheckedMs(cue.Start + 3000) : CheckedTime(cue.Start / 10 + 300);

    // Field 6 runs up to the closing double quote and so ends with the
    // closing apostrophe. The classic rules decode no entity; by default the
    // references the writer escapes with come back as the characters.
    std::string text(ListItem(fields, 6));
    if (!text.empty()) text.pop_back();
    if (precise) text = DecodedReferences(text);
    cue.Text = ReplaceAll(text, "''", "\r");
    cues.push_back(std::move(cue));
  });
}

void WriteTTXT(const TSubtitles& doc, LineList& lines) {
  AddLines(lines,
           {"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>", "<!-- GPAC 3GPP Text Stream -->",
            "<TextStream version=\"1.0\">",
            "<TextStreamHeader width=\"176\" height=\"30\" layer=\"65535\" translation_x=\"0\" "
            "translation_y=\"144\">",
            "<TextSampleDescription horizontalJustification=\"left\" verticalJustification=\"top\" "
            "backColor=\"ff ff ff ff\" verticalText=\"no\" fillTextRegion=\"no\" "
            "continuousKaraoke=\"no\" scroll=\"None\">",
            "<FontTable>", "<FontTableEntry fontName=\"Serif\" fontID=\"0\"/>", "</FontTable>",
            "<TextBox top=\"0\" left=\"0\" bottom=\"30\" right=\"176\"/>",
            "<Style styles=\"Normal\" fontSize=\"12\" color=\"0 0 ff ff\"/>",
            "</TextSampleDescription>", "</TextStreamHeader>"});
  for (const auto& cue : doc.Cues) {
    const ScriptTime a = SplitScriptTime(cue.Start);
    // The text as an attribute value: escaped, styles dropped. With the
    // classic setting it goes out as it stands.
    DropPlace(doc, cue);
    lines.push_back(
        FormatTemplate("<TextSample sampleTime=\"%.2d:%.2d:%.2d.%.3d\" text=\"'%s'\"></TextSample>",
                       {a.hours, a.minutes, a.seconds, a.milliseconds,
                        CueTextIn(doc, cue, kXmlAttributeDialect, "''")}));
  }
  AddLines(lines, {"</TextStream>"});
}

}  // namespace vorlane
