// The fixed header and the counted footer that both Ulead DVD Workshop
// layouts (2 and 2a) write, as the bytes of the file.
#pragma once

#include <string>

namespace vorlane {

inline const std::string kUleadHeader =
    "#Ulead subtitle format\r\n"
    "\r\n"
    "#Subtitle stream attribute begin\r\n"
    "#FR:25,0\r\n"
    "#Subtitle stream attribute end\r\n"
    "\r\n"
    "#Subtitle text begin\r\n";

inline std::string UleadFooter(const char* count) {
  return std::string("#Subtitle text end\r\n\r\n#Subtitle text attribute begin\r\n#/R:1,") + count +
         " /FP:8\r\n#Subtitle text attribute end\r\n";
}

}  // namespace vorlane
