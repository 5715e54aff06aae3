#include "app/shorten_path.h"

namespace vorlane {

namespace {

// Removes the first folder of a folder part, leaving "..." in its place:
// "/a/b/" becomes "/.../b/", and "/.../b/" becomes "/.../".
void CutFirstFolder(std::string& folders, char separator) {
  const std::string ellipsis = std::string("...") + separator;
  if (folders == std::string(1, separator)) {
    folders.clear();
    return;
  }
  const bool rooted = !folders.empty() && folders.front() == separator;
  if (rooted) folders.erase(0, 1);
  // The "..." of an earlier cut goes first. Only that exact text is taken:
  // a folder whose own name begins with "." is a folder like any other.
  if (folders.compare(0, ellipsis.size(), ellipsis) == 0) folders.erase(0, ellipsis.size());
  const std::size_t next = folders.find(separator);
  folders = next == std::string::npos ? std::string() : ellipsis + folders.substr(next + 1);
  if (rooted) folders.insert(folders.begin(), separator);
}

}  // namespace

std::string ShortenPath(const std::string& path, int width, const TextWidth& text_width) {
  const char separator = path.find('/') != std::string::npos    ? '/'
                         : path.find('\\') != std::string::npos ? '\\'
                                                                : '/';
  const std::size_t last = path.rfind(separator);
  std::string folders = last == std::string::npos ? std::string() : path.substr(0, last + 1);
  const std::string name = last == std::string::npos ? path : path.substr(last + 1);
  std::string drive;
  if (folders.size() >= 2 && folders[1] == ':') {
    drive = folders.substr(0, 2);
    folders.erase(0, 2);
  }
  const std::string lone_ellipsis = std::string(1, separator) + "..." + separator;

  std::string result = path;
  // Every step empties the drive or makes the folder part shorter, once a
  // first cut has put its "..." in; the bound is a guard all the same.
  for (std::size_t steps = 0; steps <= 2 * path.size() + 2; ++steps) {
    if ((folders.empty() && drive.empty()) || text_width(result) <= width) break;
    if (folders == lone_ellipsis) {
      drive.clear();
      folders = std::string("...") + separator;
    } else if (folders.empty()) {
      drive.clear();
    } else {
      CutFirstFolder(folders, separator);
    }
    result = drive + folders + name;
  }
  return result;
}

}  // namespace vorlane
