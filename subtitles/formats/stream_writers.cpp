#include "subtitles/formats/stream_writers.h"

namespace vorlane {

StreamWriter StreamWriterOf(TSubtitleFormat format) {
  switch (format) {
    case sfSubRipper:
      return StreamSubRip;
    case sfMicroDVD:
      return StreamMicroDVD;
    case sfSAMI:
      return StreamSAMI;
    case sfAdvancedSSA:
      return StreamAdvancedSSA;
    default:
      return nullptr;
  }
}

}  // namespace vorlane
