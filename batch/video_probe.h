// Frame rates of videos, read from a few bytes of the file: the first AVI
// stream header or the first MPEG video sequence header. Nothing is decoded,
// and only the first 16 MiB of a video are searched, however large it is.
#pragma once

#include <string>

namespace vorlane {

// Frames per second of the first AVI stream header ("strh"): rate / scale,
// rounded to three decimal places. 0 when there is no stream header, its
// scale is 0, or it is cut off by the end of the file. Raises
// std::runtime_error when the file cannot be opened or read.
double GetAVIFPS(const std::string& path);

// Frames per second by the frame-rate code of the first MPEG sequence header
// (00 00 01 B3): 23.976, 24, 25, 29.97, 30, 50, 59.94, 60 for codes 1 to 8,
// else 0. Raises std::runtime_error when the file cannot be opened or read.
double GetMPGFPS(const std::string& path);

}  // namespace vorlane
