#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <limits>

namespace vorlane {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// The section name of a header line "[name]", or nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.find(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  return Trim(line);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
  std::size_t value_start;  // offset of the value's text in the line
};

// A "key=value" line; comments (";"), headers and lines without "=" are not.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view key = Trim(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  std::size_t value_start = eq + 1;
  while (value_start < line.size() && IsBlank(line[value_start])) ++value_start;
  return KeyLine{key, Trim(line.substr(eq + 1)), value_start};
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  std::int64_t value;
  if (base == 16) {
    // Hexadecimal spells the 32 bits themselves: 0xFFFFFFFF is -1.
    if (magnitude > 0xFFFFFFFFu) return std::nullopt;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
  } else {
    if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
      return std::nullopt;
    }
    value = static_cast<std::int64_t>(magnitude);
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

IniFile::IniFile(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines_.push_back({std::string(text.substr(start)), ""});
      break;
    }
    const std::size_t end_length =
        (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1;
    lines_.push_back({std::string(text.substr(start, stop - start)),
                      std::string(text.substr(stop, end_length))});
    start = stop + end_length;
  }
}

bool IniFile::Load(const std::string& path) {
  lines_.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
  std::string text;
  char buffer[8192];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;  // a folder of that name, an I/O error
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (ok) *this = IniFile(text);
  return ok;
}

bool IniFile::Save(const std::string& path) const {
  const std::string text = Text();
  auto write_all = [&text](int fd) {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  };

  mode_t mode = 0644;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) mode = info.st_mode & 07777;

  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd >= 0) {
    const bool written = ::fchmod(fd, mode) == 0 && write_all(fd) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
  }
  // No temporary file beside it (a folder we may not write in, holding a
  // file we may): write the file in place.
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) return false;
  const bool written = write_all(out);
  return ::close(out) == 0 && written;
}

std::string IniFile::Text() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.end;
  }
  return text;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view text = lines_[i].text;
    if (i == 0 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
      text.remove_prefix(kByteOrderMark.size());
    }
    const auto name = HeaderName(text);
    if (name && SameName(*name, section)) return i;
  }
  return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
  return i;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t header, std::string_view key) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const auto entry = ParseKeyLine(lines_[i].text);
    if (entry && SameName(entry->key, key)) return i;
  }
  return std::nullopt;
}

std::string IniFile::NewLineEnding() const {
  for (const Line& line : lines_) {
    if (!line.end.empty()) return line.end;
  }
  return "\n";
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const auto line = FindKey(*header, key);
  if (!line) return std::nullopt;
  return std::string(ParseKeyLine(lines_[*line].text)->value);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  auto value = Value(section, key);
  return value ? *value : std::string(fallback);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
  const auto value = Value(section, key);
  if (!value) return fallback;
  return ParseProfileInteger(*value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view trimmed_section = Trim(section);
  const std::string_view trimmed_key = Trim(key);
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
      trimmed_section.empty() || trimmed_section != section ||
      section.find(']') != std::string_view::npos || trimmed_key.empty() || trimmed_key != key ||
      key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[') {
    return false;
  }
  const std::string ending = NewLineEnding();
  const auto header = FindSection(section);
  if (header) {
    if (const auto line = FindKey(*header, key)) {
      std::string& text = lines_[*line].text;
      text = text.substr(0, ParseKeyLine(text)->value_start) + std::string(value);
      return true;
    }
    // After the section's last line that is not blank.
    std::size_t at = SectionEnd(*header);
    while (at > *header + 1 && Trim(lines_[at - 1].text).empty()) --at;
    if (lines_[at - 1].end.empty()) lines_[at - 1].end = ending;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{std::string(key) + "=" + std::string(value), ending});
    return true;
  }
  if (!lines_.empty()) {
    if (lines_.back().end.empty()) lines_.back().end = ending;
    if (!Trim(lines_.back().text).empty()) lines_.push_back({"", ending});
  }
  lines_.push_back({"[" + std::string(section) + "]", ending});
  lines_.push_back({std::string(key) + "=" + std::string(value), ending});
  return true;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace vorlane
