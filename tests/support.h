// Test helpers: a temporary folder removed with everything in it afterwards,
// putting bytes into files and reading them back, and readable cues in
// failure messages.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "subtitles/catalogue.h"
#include "subtitles/errors.h"
#include "subtitles/subtitles.h"

namespace vorlane {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorlane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The cues a reader makes of lines, in a document that held a stale cue
// before (every read starts from an empty list).
inline std::vector<SubtitleCue> Read(SubtitleReader reader, const LineViews& lines) {
  TSubtitles doc;
  doc.Cues.push_back({1, 2, "stale"});
  reader(doc, lines);
  return doc.Cues;
}

// The same read with the classic rules, which count centiseconds.
inline std::vector<SubtitleCue> ReadClassic(SubtitleReader reader, const LineViews& lines) {
  TSubtitles doc;
  doc.SetClassicReading(true);
  doc.Cues.push_back({1, 2, "stale"});
  reader(doc, lines);
  return doc.Cues;
}

// The message a reader fails with, or "no error".
inline std::string ReadError(SubtitleReader reader, const LineViews& lines) {
  try {
    Read(reader, lines);
  } catch (const SubtitleError& e) {
    return e.what();
  }
  return "no error";
}

// The failure of a reader as the user reads it: "<problem> (line N)".
inline std::string ReadFault(SubtitleReader reader, const LineViews& lines) {
  try {
    Read(reader, lines);
  } catch (const SubtitleError& e) {
    return LoadFailure{"", e.what(), e.Line()}.BoxText().substr(
        CorruptedFileMessage("", "").size());
  }
  return "no error";
}

inline void PrintTo(const SubtitleCue& c, std::ostream* os) {
  *os << "{" << c.Start << ", " << c.Stop << ", \"";
  for (char ch : c.Text) {
    if (ch == '\r') {
      *os << "\\r";
    } else {
      *os << ch;
    }
  }
  *os << "\"}";
}

// The same with the classic rules.
inline std::string ReadErrorClassic(SubtitleReader reader, const LineViews& lines) {
  try {
    ReadClassic(reader, lines);
  } catch (const SubtitleError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace vorlane
