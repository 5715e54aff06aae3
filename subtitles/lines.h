// Files as line lists: bytes in, bytes out, no character-set conversion.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "subtitles/strings.h"

namespace vorlane {

// Splits text at CR LF, a lone CR and a lone LF. The terminator of the last
// line adds no empty line after it; a NUL byte ends the text. The views
// point into text, which must outlive them.
LineViews SplitLineViews(std::string_view text);
// The same lines, each copied into a string of its own.
LineList SplitLines(std::string_view text);
// Every item followed by CR LF.
std::string JoinLines(const LineList& lines);

// A file's bytes and its lines as views into them. The bytes live on the
// heap, so moving a TextFile keeps the views valid.
struct TextFile {
  std::unique_ptr<std::string> bytes;
  LineViews lines;
};
// Lines of text in memory, kept together with their bytes.
TextFile MakeTextFile(std::string bytes);

// Reads a whole file's bytes. Fails with
// "Cannot open file \"<path>\". <system message>".
std::string ReadWholeFile(const std::string& path);
// Reads a whole file as lines, failing as ReadWholeFile.
TextFile ReadTextFile(const std::string& path);
// Reads from fd until its end into text (replacing it): standard input or
// any stream without a known size. False, with errno set, when a read fails.
bool ReadAllBytes(int fd, std::string& text);
// The same as owning lines.
LineList ReadLinesFromFile(const std::string& path);

// Writes a line list to path, replacing it whole. The text goes to a
// temporary file in the same folder which then replaces the target
// (PendingFile), so a failure half-way never leaves a truncated file where
// the old one was; a replaced file keeps its permission bits. Fails with
// "Cannot create file \"<path>\". <system message>".
void WriteLinesToFile(const LineList& lines, const std::string& path);

}  // namespace vorlane
