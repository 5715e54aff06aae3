// TTXT read as XML, where the classic line rules give up: the layout of
// the usual 3GPP text tools, a TextSample element per sample with its
// sampleTime, the text in a text="'...'" attribute or inside the element,
// each sample lasting until the next one (an empty sample clears the
// screen).
#include <algorithm>
#include <pugixml.hpp>
#include <string>

#include "subtitles/errors.h"
#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

// How long the last sample stays when nothing follows it, as the classic
// TTXT reader times every sample.
constexpr std::int64_t kLastSampleLength = 3000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "HH:MM:SS.fff", the fraction a decimal one; false when it is not a time.
bool SampleTime(std::string_view s, std::int64_t& time) {
  std::int64_t fields[3] = {0, 0, 0};
  std::size_t pos = 0;
  for (int f = 0; f < 3; ++f) {
    const std::size_t begin = pos;
    while (pos < s.size() && IsDigit(s[pos]) && pos - begin < 9) {
      fields[f] = fields[f] * 10 + (s[pos++] - '0');
    }
    if (pos == begin) return false;
    const char expected = f < 2 ? ':' : '.';
    if (pos == s.size() && f == 2) break;
    if (pos >= s.size() || s[pos] != expected) return false;
    ++pos;
  }
  std::int64_t ms = 0;
  int digits = 0;
  for (; pos < s.size() && IsDigit(s[pos]); ++pos, ++digits) {
    if (digits < 3) ms = ms * 10 + (s[pos] - '0');
  }
  if (pos != s.size()) return false;
  for (int d = digits; d < 3; ++d) ms *= 10;
  time = MakeTimeMs(fields[0], fields[1], fields[2], ms);
  return true;
}

// Line breaks of the text become the document's CR.
std::string WithBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i] == '\n' ? '\r' : text[i]);
  }
  return out;
}

std::string SampleText(const pugi::xml_node& sample) {
  if (const pugi::xml_attribute attribute = sample.attribute("text")) {
    // The classic layout: each line in apostrophes, "''" between lines.
    std::string_view text = attribute.value();
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
      text = text.substr(1, text.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text.substr(i, 2) == "''") {
        out.push_back('\r');
        ++i;
      } else {
        out.push_back(text[i]);
      }
    }
    return out;
  }
  std::string text;
  for (const pugi::xml_node child : sample.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    }
  }
  return WithBreaks(text);
}

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

struct Sample {
  std::int64_t time;
  std::string text;
};

// A sample whose time cannot be read: its offset in the text.
struct BadSample {
  std::ptrdiff_t offset;
  std::string time;
};

class SampleWalker : public pugi::xml_tree_walker {
 public:
  SampleWalker(std::vector<Sample>& samples, std::vector<BadSample>& bad)
      : samples_(samples), bad_(bad) {}
  bool for_each(pugi::xml_node& node) override {
    if (node.type() != pugi::node_element || std::string_view(node.name()) != "TextSample") {
      return true;
    }
    std::int64_t time = 0;
    if (SampleTime(node.attribute("sampleTime").value(), time)) {
      samples_.push_back({time, SampleText(node)});
    } else {
      bad_.push_back({node.offset_debug(), node.attribute("sampleTime").value()});
    }
    return true;
  }

 private:
  std::vector<Sample>& samples_;
  std::vector<BadSample>& bad_;
};

}  // namespace

bool TTXTLenientSignature(const LineViews& lines) {
  return std::any_of(lines.begin(), lines.end(), [](std::string_view line) {
    return line.find("<TextStream") != std::string_view::npos ||
           line.find("<TextSample") != std::string_view::npos;
  });
}

void ReadTTXTLenient(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  std::string xml;
  for (const std::string_view line : lines) {
    xml.append(line);
    xml.push_back('\n');
  }
  pugi::xml_document tree;
  // The bytes stay as they are: 8-bit text is not taken for UTF-8 and
  // converted.
  const pugi::xml_parse_result parsed =
      tree.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
  const auto line_of = [&](std::ptrdiff_t at) {
    const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(at, 0));
    return static_cast<int>(
        1 + std::count(xml.begin(), xml.begin() + std::min(offset, xml.size()), '\n'));
  };
  if (!parsed) FailAtLine(line_of(parsed.offset), parsed.description());
  std::vector<Sample> samples;
  std::vector<BadSample> bad;
  SampleWalker walker(samples, bad);
  tree.traverse(walker);
  CueTolerance tolerance(doc);
  for (std::size_t i = 0; i < samples.size(); ++i) tolerance.Read();
  for (const BadSample& sample : bad) {
    tolerance.Malformed(line_of(sample.offset), "unreadable sampleTime \"" + sample.time + "\"",
                        "sample left out");
  }
  tolerance.Check();
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (IsBlankText(samples[i].text)) continue;
    const std::int64_t start = samples[i].time;
    std::int64_t stop = start + kLastSampleLength;

    if (i + 1 < samples.size() && samples[i + 1].time >= start) stop = samples[i + 1].time;
    doc.Cues.push_back({start, stop, std::move(samples[i].text)});
  }
}

}  // namespace vorlane
