// Fitting a long path into a list row: leading folders are replaced by
// "..." one at a time until the text fits, then the drive goes, and at last
// only the file name is left.
#pragma once

#include <functional>
#include <string>

namespace vorlane {

// Measures the width of a text in pixels, in the font it will be drawn in.
using TextWidth = std::function<int(const std::string& text)>;

// Successive results for /Media/clips/subs/film.srt in a narrowing row:
// /.../clips/subs/film.srt, /.../subs/film.srt, /.../film.srt, .../film.srt,
// film.srt. A path whose second character is ":" keeps its drive until only
// "..." and the file name are left (C:\...\film.srt, then ...\film.srt).
// The separator is the path's own: "/" when it holds one, else "\". The
// result may still be too wide when only the file name is left.
std::string ShortenPath(const std::string& path, int width, const TextWidth& text_width);

}  // namespace vorlane
