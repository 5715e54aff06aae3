// String operations the readers and writers rest on. Positions are 1-based,
// as in the formats' own descriptions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// An ordered list of 8-bit strings, each owning its bytes: what writers
// produce, one item per output line (an item may hold CR LF of its own).
using LineList = std::vector<std::string>;
// The lines of a text held in memory, as views into it: what readers and
// detection take, so that reading a file costs no allocation per line. A
// line list converts to it for a call (the views point into the list, so a
// LineViews must never outlive the lines it was made from).
class LineViews : public std::vector<std::string_view> {
 public:
  using std::vector<std::string_view>::vector;
  LineViews() = default;
  LineViews(const LineList& lines) : vector(lines.begin(), lines.end()) {}  // NOLINT: implicit
};
// The fields of one line split by a pattern, as views into the line.
using FieldList = std::vector<std::string_view>;

// Characters of s from position from up to, not including, position to.
std::string CopyRange(std::string_view s, int from, int to);
// Characters of s from position from to the end.
std::string CopyTail(std::string_view s, int from);

// Appends the fields of s to list. Every separator ends a field; a trailing
// field is appended only if it is not empty.
void SplitByChar(char separator, std::string_view s, LineList& list);

// Splits line by a pattern in which '?' marks a field. Every other pattern
// character is searched for anywhere in the rest of the line; what stands
// before it becomes a field (nothing when it stands first). After the last
// literal the remainder is appended. Returns false when a literal is missing,
// leaving the fields found so far in the list.
bool SplitByPattern(std::string_view line, std::string_view pattern, FieldList& fields);
bool SplitByPattern(std::string_view line, std::string_view pattern, LineList& fields);

// 1-based position of the first occurrence of sub in s, 0 when absent.
int Pos(std::string_view sub, std::string_view s);
// The same search starting at 1-based position start.
int PosEx(std::string_view sub, std::string_view s, int start);

// True when s has at least n characters and its n-th (1-based) is c.
inline bool CharIs(std::string_view s, std::size_t n, char c) {
  return n >= 1 && s.size() >= n && s[n - 1] == c;
}
inline bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
inline bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

// Integer parsing: leading blanks, one sign, decimal digits, or hexadecimal
// after "$" or "0x". Anything else, the empty text and trailing blanks
// included, and values beyond 32 bits fail with
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// Item n (0-based) of a list; a missing item fails with
// "List index out of bounds (n)".
const std::string& ListItem(const LineList& list, int n);
std::string_view ListItem(const FieldList& list, int n);
// The same item parsed as an integer.
inline std::int32_t IntItem(const LineList& list, int n) {
  return StrToInt(ListItem(list, n));
}
inline std::int32_t IntItem(const FieldList& list, int n) {
  return StrToInt(ListItem(list, n));
}

// Replaces every occurrence of from (non-empty) by to.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// printf-style formatting into a std::string. The writers' templates use the
// C directives ("%d", "%.2d", "%5d", "%s", ...), which mean exactly that.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the code point c to out as UTF-8 (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace vorlane
