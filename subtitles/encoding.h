// Character sets of input text. Text is carried as bytes; only Unicode
// files whose bytes are not 8-bit text (UTF-16 and UTF-32) are decoded to
// UTF-8 before their lines are read, and the UTF-8 byte order mark is taken
// off so that it is not read as part of the first line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

enum class TextEncoding {
  kBytes,    // 8-bit text, or UTF-8 without a byte order mark: read as it is
  kUtf8Bom,  // UTF-8 with a byte order mark
  kUtf16LE,
  kUtf16BE,
  kUtf32LE,
  kUtf32BE,
};

struct SniffedEncoding {
  TextEncoding encoding = TextEncoding::kBytes;
  std::size_t mark_size = 0;  // bytes of the byte order mark, 0 when none
};

// Recognises the encoding from the byte order mark, or, without one, UTF-16
// from the zero bytes of its first characters. Looks at no more than the
// first 512 bytes. With unicode off only the UTF-8 mark is recognised.
SniffedEncoding SniffEncoding(std::string_view bytes, bool unicode);

// The iconv name of an encoding ("UTF-16LE", ...).
const char* EncodingName(TextEncoding encoding);

// Converts bytes from one character set to another through iconv. A byte
// sequence that does not convert fails with "byte N is not valid <from>
// text", N counted from the start of the file: first_offset is the offset
// of bytes in it.
std::string ConvertText(std::string_view bytes, const char* from, const char* to,
                        std::size_t first_offset = 0);

// Makes a file's bytes ready for splitting into lines: takes off a UTF-8
// byte order mark and, with unicode on, decodes UTF-16 and UTF-32 to UTF-8.
// Returns true when the output is to be UTF-8 with a byte order mark: the
// input had one, or was decoded.
bool PrepareText(std::string& bytes, bool unicode);

}  // namespace vorlane
