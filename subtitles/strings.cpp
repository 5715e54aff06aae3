#include "subtitles/strings.h"

#include <cstdarg>
#include <cstdio>
#include <limits>

#include "subtitles/errors.h"

namespace vorlane {

std::string CopyRange(std::string_view s, int from, int to) {
  if (from < 1) from = 1;
  if (to <= from) return {};
  const auto begin = static_cast<std::size_t>(from - 1);
  if (begin >= s.size()) return {};
  return std::string(s.substr(begin, static_cast<std::size_t>(to - from)));
}

std::string CopyTail(std::string_view s, int from) {
  if (from < 1) from = 1;
  const auto begin = static_cast<std::size_t>(from - 1);
  if (begin >= s.size()) return {};
  return std::string(s.substr(begin));
}

void SplitByChar(char separator, std::string_view s, LineList& list) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == separator) {
      list.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < s.size()) list.emplace_back(s.substr(start));
}

bool SplitByPattern(std::string_view line, std::string_view pattern, LineList& fields) {
  FieldList views;
  const bool result = SplitByPattern(line, pattern, views);
  fields.assign(views.begin(), views.end());
  return result;
}

bool SplitByPattern(std::string_view line, std::string_view pattern, FieldList& fields) {
  fields.clear();
  std::string_view rest = line;
  for (char literal : pattern) {
    if (literal == '?') continue;
    const std::size_t p = rest.find(literal);
    if (p == std::string_view::npos) return false;
    if (p > 0) fields.emplace_back(rest.substr(0, p));
    rest.remove_prefix(p + 1);
  }
  fields.emplace_back(rest);
  return true;
}

int Pos(std::string_view sub, std::string_view s) {
  return PosEx(sub, s, 1);
}

int PosEx(std::string_view sub, std::string_view s, int start) {
  if (start < 1 || static_cast<std::size_t>(start - 1) > s.size()) return 0;
  const std::size_t p = s.find(sub, static_cast<std::size_t>(start - 1));
  return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

namespace {

[[noreturn]] void NotAnInteger(std::string_view text) {
  throw SubtitleError("'" + std::string(text) + "' is not a valid integer value");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) NotAnInteger(text);
  // Accumulate in 64 bits; anything past 2^32 can stop early since it fails.
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) NotAnInteger(text);
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) NotAnInteger(text);
  }
  if (base == 16) {
    // Hexadecimal text gives the 32-bit pattern, so $FFFFFFFF is -1.
    const auto bits = static_cast<std::uint32_t>(value);
    const auto result = static_cast<std::int32_t>(bits);
    return negative ? static_cast<std::int32_t>(0u - bits) : result;
  }
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  if (negative) {
    if (value > kMax + 1) NotAnInteger(text);
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
  }
  if (value > kMax) NotAnInteger(text);
  return static_cast<std::int32_t>(value);
}

namespace {

template <typename List>
const typename List::value_type& CheckedItem(const List& list, int n) {
  if (n < 0 || static_cast<std::size_t>(n) >= list.size()) {
    throw SubtitleError("List index out of bounds (" + std::to_string(n) + ")");
  }
  return list[static_cast<std::size_t>(n)];
}

}  // namespace

const std::string& ListItem(const LineList& list, int n) {
  return CheckedItem(list, n);
}
std::string_view ListItem(const FieldList& list, int n) {
  return CheckedItem(list, n);
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t start = 0;
  for (;;) {
    const std::size_t p = s.find(from, start);
    if (p == std::string_view::npos) break;
    out.append(s.substr(start, p - start));
    out.append(to);
    start = p + from.size();
  }
  out.append(s.substr(start));
  return out;
}

std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    return {};
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    va_end(copy);
    return std::string(small, static_cast<std::size_t>(n));
  }
  std::string out(static_cast<std::size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, copy);
  va_end(copy);
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace vorlane
