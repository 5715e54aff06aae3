// Formats that are certainly not subtitle text we read: disc formats whose
// first bytes say what they are. They are refused by name
// before any text rule could take them for something else.
#pragma once

#include <string_view>

namespace vorlane {

// The message for a file that begins with head ("VobSub subtitles are not
// supported"), or empty when head marks none of those formats. head is
// the file's first bytes or its first line.
std::string_view ForeignFormatMessage(std::string_view head);

// Raises UnsupportedFormatError with that message when there is one.
void RefuseForeignFormat(std::string_view head);

}  // namespace vorlane
