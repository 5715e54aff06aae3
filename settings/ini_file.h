// A small INI layer with the behaviour of Windows profile files: section and
// key names match without regard to ASCII case, the first matching section
// and key win, a written value replaces its line in place, missing keys are
// added at the end of their section and missing sections at the end of the
// file. Every other line (comments, blank lines, unknown keys, odd text) is
// kept byte for byte, line ending included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

class IniFile {
 public:
  IniFile() = default;
  // Parses the text of a file.
  explicit IniFile(std::string_view text);

  // Reads path. A missing file reads as empty and is no failure; false when
  // the file exists but cannot be read (the contents are then empty).
  bool Load(const std::string& path);
  // Writes the text to path through a temporary file beside it, so a failed
  // write leaves the old file whole. False on any failure.
  bool Save(const std::string& path) const;

  // The whole file as it would be written.
  std::string Text() const;

  // The value of the key with blanks around it removed; nullopt when the
  // section or the key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Decimal with an optional sign, or hexadecimal after 0x/0X; anything else
  // (empty, trailing text, out of 32-bit range) gives the fallback.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  // Read as an integer; any value other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Sets the key's value, adding the key or the section when missing. A
  // value holding CR or LF cannot be stored on one line: false, nothing
  // changes. The same goes for section and key names that would not read
  // back as themselves.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  struct Line {
    std::string text;  // without the line ending
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
  };

  // Index of the section's header line, or nullopt.
  std::optional<std::size_t> FindSection(std::string_view section) const;
  // Index one past the section's last line (the next header or the end).
  std::size_t SectionEnd(std::size_t header) const;
  std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;
  std::string NewLineEnding() const;

  std::vector<Line> lines_;
};

// Parses an integer the way profile files are read (see ReadInteger).
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

}  // namespace vorlane
