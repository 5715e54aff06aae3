// Character sets of subtitle text. Text is carried as bytes; only Unicode
// files whose bytes are not 8-bit text (UTF-16 and UTF-32) are decoded to
// UTF-8 before their lines are read, and the UTF-8 byte order mark is taken
// off so that it is not read as part of the first line. Other conversions
// happen only when asked for (the command line's encoding options).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

enum class TextEncoding {
  kBytes,  // 8-bit text or UTF-8: read as it is
  kUtf16LE,
  kUtf16BE,
  kUtf32LE,
  kUtf32BE,
};

struct SniffedEncoding {
  TextEncoding encoding = TextEncoding::kBytes;
  std::size_t mark_size = 0;  // bytes of the byte order mark, 0 when none
};

// Recognises UTF-16 and UTF-32 from the byte order mark, or, without one,
// UTF-16 from the zero bytes of its first characters. Looks at no more than
// the first 512 bytes.
SniffedEncoding SniffUnicode(std::string_view bytes);

// The iconv name of an encoding ("UTF-16LE", ...).
const char* EncodingName(TextEncoding encoding);

// Converts text from one character set to another through iconv, one
// conversion set up for many texts (the lines of an output). A character
// set iconv does not know fails at construction.
class TextConverter {
 public:
  TextConverter(const std::string& from, const std::string& to);
  ~TextConverter();
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;
  // A byte sequence that does not convert fails with "byte N is not valid
  // <from> text", N counted from the start of the file: first_offset is
  // the offset of bytes in it.
  std::string Convert(std::string_view bytes, std::size_t first_offset = 0);

 private:
  std::string from_;
  void* cd_;
};

// One conversion with a converter of its own.
std::string ConvertText(std::string_view bytes, const char* from, const char* to,
                        std::size_t first_offset = 0);

// True when iconv knows the character set name.
bool IsKnownCharset(const std::string& name);
// True when name is UTF-8 under one of its spellings ("utf8", "UTF-8").
bool IsUtf8Name(std::string_view name);

// The character set of 8-bit text as uchardet guesses it ("WINDOWS-1251",
// "ASCII", "UTF-8"), or empty when no guess reaches its confidence
// threshold.
std::string GuessCharset(std::string_view bytes);

// What the output's character set is to be.
enum class OutputEncoding {
  kSource,   // as the input: its bytes as read, UTF-8 with a mark when decoded
  kUtf8,     // UTF-8 without a byte order mark
  kUtf8Bom,  // UTF-8 with a byte order mark
  kNamed,    // a character set named by its iconv name
};

// True when bytes are well-formed UTF-8 (ASCII included).
bool IsUtf8(std::string_view bytes);

// Decodes UTF-16 and UTF-32 text to UTF-8 in place; true when it did.
// Other bytes stay as they are.
bool DecodeUnicode(std::string& bytes);

// Takes a UTF-8 byte order mark off the start of line; true when there was
// one.
bool TakeByteOrderMark(std::string_view& line);

}  // namespace vorlane
