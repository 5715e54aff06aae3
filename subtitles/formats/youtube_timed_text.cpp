// YouTube's timed-text XML, read only: the transcript form
// <transcript><text start="12.44" dur="2.5">...</text></transcript> in
// seconds, and <timedtext format="3"><body><p t="12440" d="2500">...</p>
// in milliseconds, whose words may stand in <s> elements. The text is
// escaped twice in many files ("&amp;#39;"): what the XML leaves of a
// character reference is decoded once more.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The element name the root of the text starts with, or empty.
std::string_view RootName(std::string_view text) {
  std::size_t at = 0;
  while (true) {
    at = text.find('<', at);
    if (at == std::string_view::npos || at + 1 >= text.size()) return {};
    const char next = text[at + 1];
    if (next != '?' && next != '!') break;
    at += 2;
  }
  const std::size_t end = text.find_first_of(" \t\r\n/>", at + 1);
  if (end == std::string_view::npos) return {};
  return text.substr(at + 1, end - at - 1);
}

// A number of seconds or milliseconds as milliseconds, or nothing when the
// text is not a finite number.
std::optional<std::int64_t> Milliseconds(const char* text, double unit) {
  if (*text == '\0') return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  while (*end == ' ') ++end;
  if (*end != '\0' || !std::isfinite(value) || std::fabs(value * unit) > 9.0e15) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(std::llround(value * unit));
}

void AppendText(const pugi::xml_node& node, std::string& out, int depth) {
  if (depth > 32) return;
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      out += child.value();
    } else if (child.type() == pugi::node_element) {
      AppendText(child, out, depth + 1);
    }
  }
}

// The text of an element and its descendants, line breaks as CR, character
// references decoded a second time.
std::string ElementText(const pugi::xml_node& node) {
  std::string raw;
  AppendText(node, raw, 0);
  std::string out;
  for (std::size_t i = 0; i < raw.size();) {
    if (raw[i] == '&') {
      const std::size_t taken = AppendCharReference(raw, i, out);
      if (taken == 0) out += '&';
      i += taken == 0 ? 1 : taken;
    } else if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
      ++i;
    } else {
      out += raw[i] == '\n' ? '\r' : raw[i];
      ++i;
    }
  }
  const std::size_t first = out.find_first_not_of(" \r");
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(" \r") - first + 1);
}

}  // namespace

bool IsYouTubeTimedText(const LineViews& lines) {
  std::string head;
  for (const std::string_view line : HeadOf(lines)) {
    head.append(line).push_back('\n');
    if (head.size() > 4096) break;
  }
  std::string_view text = head;
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  const std::string_view root = RootName(text);
  return root == "transcript" || root == "timedtext";
}

void ReadYouTubeTimedText(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  const JoinedText joined(lines);
  std::string_view text = joined.text();
  const std::size_t shift = text.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
  text.remove_prefix(shift);
  pugi::xml_document xml;
  const pugi::xml_parse_result parsed =
      xml.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  const auto line_of = [&](std::ptrdiff_t offset) {
    return joined.LineOf(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)) + shift);
  };
  if (!parsed)
    FailAtLine(line_of(parsed.offset), std::string("malformed XML: ") + parsed.description());
  const pugi::xml_node root = xml.document_element();
  const bool transcript = std::string_view(root.name()) == "transcript";
  if (!transcript && std::string_view(root.name()) != "timedtext") {
    FailAtLine(1, "the root element is neither <transcript> nor <timedtext>");
  }
  // The cues, and whether each had its length.
  std::vector<TimedCue> cues;
  std::vector<bool> lasting;
  CueTolerance tolerance(doc);
  const auto read = [&](const pugi::xml_node& node, const char* start, const char* length,
                        double unit) {
    const int line = line_of(node.offset_debug());
    const auto begin = Milliseconds(node.attribute(start).value(), unit);
    if (!begin) {
      tolerance.Malformed(
          line, std::string("unreadable ") + start + "=\"" + node.attribute(start).value() + "\"");
      return;
    }
    const pugi::xml_attribute duration_attribute = node.attribute(length);
    const auto duration = Milliseconds(duration_attribute.value(), unit);
    if (duration_attribute && !duration) {
      tolerance.Malformed(
          line, std::string("unreadable ") + length + "=\"" + duration_attribute.value() + "\"");
      return;
    }
    tolerance.Read();
    std::string cue_text = ElementText(node);
    if (cue_text.empty()) return;
    cues.push_back({*begin, *begin + duration.value_or(0), std::move(cue_text), 0, line});
    lasting.push_back(duration.has_value());
  };
  if (transcript) {
    for (const pugi::xml_node& node : root.children("text")) read(node, "start", "dur", 1000);
  } else {
    for (const pugi::xml_node& node : root.child("body").children("p")) read(node, "t", "d", 1);
  }
  tolerance.Check();
  // A cue without its length lasts until the next one begins.
  for (std::size_t i = 0; i < cues.size(); ++i) {
    if (!lasting[i] && i + 1 < cues.size())
      cues[i].stop = std::max(cues[i].start, cues[i + 1].start);
  }
  PutCues(doc, std::move(cues));
}

}  // namespace vorlane
