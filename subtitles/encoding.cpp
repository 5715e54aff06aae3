#include "subtitles/encoding.h"

#include <iconv.h>
#include <uchardet/uchardet.h>

#include <cerrno>
#include <cstring>

#include "subtitles/errors.h"

namespace vorlane {

namespace {

bool BeginsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// UTF-16 without a byte order mark: text whose characters are mostly
// ASCII has a zero in every other byte, on the side of the high byte, and
// none on the other side. 8-bit text has no zero bytes at all, and binary
// data has pairs of zeros.
TextEncoding SniffUtf16ByZeros(std::string_view bytes) {
  constexpr std::size_t kLooked = 512;
  const std::size_t size = (bytes.size() < kLooked ? bytes.size() : kLooked) & ~std::size_t{1};
  if (size < 4) return TextEncoding::kBytes;
  std::size_t even_zeros = 0;
  std::size_t odd_zeros = 0;
  for (std::size_t i = 0; i < size; i += 2) {
    const bool even_zero = bytes[i] == '\0';
    const bool odd_zero = bytes[i + 1] == '\0';
    if (even_zero && odd_zero) return TextEncoding::kBytes;
    even_zeros += even_zero;
    odd_zeros += odd_zero;
  }
  const std::size_t pairs = size / 2;
  if (even_zeros == 0 && odd_zeros * 4 >= pairs) return TextEncoding::kUtf16LE;
  if (odd_zeros == 0 && even_zeros * 4 >= pairs) return TextEncoding::kUtf16BE;
  return TextEncoding::kBytes;
}

}  // namespace

SniffedEncoding SniffUnicode(std::string_view bytes) {
  using namespace std::string_view_literals;
  // The UTF-32 LE mark begins with the UTF-16 LE one, so it is looked for
  // first.
  if (BeginsWith(bytes, "\xFF\xFE\0\0"sv)) return {TextEncoding::kUtf32LE, 4};
  if (BeginsWith(bytes, "\0\0\xFE\xFF"sv)) return {TextEncoding::kUtf32BE, 4};
  if (BeginsWith(bytes, "\xFF\xFE"sv)) return {TextEncoding::kUtf16LE, 2};
  if (BeginsWith(bytes, "\xFE\xFF"sv)) return {TextEncoding::kUtf16BE, 2};
  return {SniffUtf16ByZeros(bytes), 0};
}

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16LE:
      return "UTF-16LE";
    case TextEncoding::kUtf16BE:
      return "UTF-16BE";
    case TextEncoding::kUtf32LE:
      return "UTF-32LE";
    case TextEncoding::kUtf32BE:
      return "UTF-32BE";
    case TextEncoding::kBytes:
      break;
  }
  return "";
}

TextConverter::TextConverter(const std::string& from, const std::string& to)
    : from_(from), cd_(::iconv_open(to.c_str(), from.c_str())) {
  if (cd_ == reinterpret_cast<iconv_t>(-1)) {
    throw SubtitleError("cannot convert from " + from + " to " + to + ": " + std::strerror(errno));
  }
}

TextConverter::~TextConverter() {
  ::iconv_close(static_cast<iconv_t>(cd_));
}

std::string TextConverter::Convert(std::string_view bytes, std::size_t first_offset) {
  const auto cd = static_cast<iconv_t>(cd_);
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start
  std::string out;
  out.resize(bytes.size() + bytes.size() / 2 + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  std::size_t used = 0;
  // The second round, with no input, writes what a stateful character set
  // still holds back.
  bool flushing = false;
  for (;;) {
    char* put = out.data() + used;
    std::size_t put_left = out.size() - used;
    const std::size_t done = flushing ? ::iconv(cd, nullptr, nullptr, &put, &put_left)
                                      : ::iconv(cd, &in, &in_left, &put, &put_left);
    const int error = errno;
    used = static_cast<std::size_t>(put - out.data());
    if (done != static_cast<std::size_t>(-1)) {
      if (flushing) break;
      flushing = true;
      continue;
    }
    if (error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ: a sequence that is not valid; EINVAL: one cut off at the end.
    const std::size_t offset = first_offset + (bytes.size() - in_left);
    throw SubtitleError("byte " + std::to_string(offset) + " is not valid " + from_ + " text");
  }
  out.resize(used);
  return out;
}

std::string ConvertText(std::string_view bytes, const char* from, const char* to,
                        std::size_t first_offset) {
  return TextConverter(from, to).Convert(bytes, first_offset);
}

bool IsKnownCharset(const std::string& name) {
  const iconv_t cd = ::iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  ::iconv_close(cd);
  return true;
}

bool IsUtf8Name(std::string_view name) {
  std::string lower;
  for (char c : name) {
    if (c != '-' && c != '_') lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
  }
  return lower == "utf8";
}

std::string GuessCharset(std::string_view bytes) {
  const uchardet_t ud = ::uchardet_new();
  if (ud == nullptr) return {};
  std::string charset;
  if (::uchardet_handle_data(ud, bytes.data(), bytes.size()) == 0) {
    ::uchardet_data_end(ud);
    charset = ::uchardet_get_charset(ud);
  }
  ::uchardet_delete(ud);
  return charset;
}

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Eight ASCII bytes at a time, the common case.
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int more;
    std::uint32_t min;
    std::uint32_t code;
    if ((c & 0xE0) == 0xC0) {
      more = 1, min = 0x80, code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2, min = 0x800, code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3, min = 0x10000, code = c & 0x07;
    } else {
      return false;
    }
    if (end - p <= more) return false;
    for (int i = 1; i <= more; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = code << 6 | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    p += more + 1;
  }
  return true;
}

bool DecodeUnicode(std::string& bytes) {
  const SniffedEncoding sniffed = SniffUnicode(bytes);
  if (sniffed.encoding == TextEncoding::kBytes) return false;
  bytes = ConvertText(std::string_view(bytes).substr(sniffed.mark_size),
                      EncodingName(sniffed.encoding), "UTF-8", sniffed.mark_size);
  return true;
}

bool TakeByteOrderMark(std::string_view& line) {
  if (!BeginsWith(line, kUtf8ByteOrderMark)) return false;
  line.remove_prefix(kUtf8ByteOrderMark.size());
  return true;
}

}  // namespace vorlane
