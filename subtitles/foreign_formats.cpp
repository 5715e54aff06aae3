#include "subtitles/foreign_formats.h"

#include <string>

#include "subtitles/errors.h"

namespace vorlane {

namespace {

// A presentation graphics stream: "PG", two time stamps of four bytes and
// the type of the first segment.
bool IsPgs(std::string_view head) {
  if (head.size() < 13 || head.substr(0, 2) != "PG") return false;
  const auto type = static_cast<unsigned char>(head[10]);
  return type == 0x14 || type == 0x15 || type == 0x16 || type == 0x17 || type == 0x80;
}

}  // namespace

std::string_view ForeignFormatMessage(std::string_view head) {
  using namespace std::string_view_literals;
  if (head.starts_with("# VobSub index file")) return "VobSub subtitles are not supported";
  // An MPEG program stream pack header: the pictures of a VobSub .sub file.
  if (head.starts_with("\0\0\x01\xBA"sv)) return "VobSub subtitles are not supported";
  if (IsPgs(head)) return "Blu-ray SUP (PGS) subtitles are not supported";
  return {};
}

void RefuseForeignFormat(std::string_view head) {
  const std::string_view message = ForeignFormatMessage(head);
  if (!message.empty()) throw UnsupportedFormatError(std::string(message));
}

}  // namespace vorlane
