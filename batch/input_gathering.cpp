#include "batch/input_gathering.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string_view>
#include <utility>

namespace vorlane {

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return AsciiLower(c); });
  return out;
}

// Names in a stable order that people expect from a file list: without
// regard to case, then byte by byte so that names differing only in case
// still come in a fixed order.
bool NameBefore(const std::string& a, const std::string& b) {
  const std::string la = AsciiLower(a);
  const std::string lb = AsciiLower(b);
  if (la != lb) return la < lb;
  return a < b;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

using FolderId = std::pair<dev_t, ino_t>;

void LookIn(const std::string& folder, std::vector<std::string>& list, std::set<FolderId>& visited,
            bool classic) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  // A folder met twice (through a bind mount, say) is searched once, so no
  // arrangement of the file system can make the search go on for ever.
  if (!visited.insert({st.st_dev, st.st_ino}).second) return;

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;  // not listable: passed over
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    // Names beginning with "." are passed over: ".", "..", and hidden
    // files and folders alike.
    if (entry->d_name[0] == '.') continue;
    names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), NameBefore);

  for (const std::string& name : names) {
    const std::string path = JoinPath(folder, name);
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
      // Deeper than the system lets a path name: the run cannot open it
      // either, but it reports it rather than pass it over in silence.
      if (errno == ENAMETOOLONG && isSubtitleFile(path)) list.push_back(path);
      continue;
    }
    if (S_ISDIR(link.st_mode)) {
      // BAK folders hold the backups of earlier runs: converting them
      // would put outputs in the place of the only copies of sources.
      if (name != "BAK") LookIn(path, list, visited, classic);
      continue;
    }
    // A symbolic link counts for what it points at: a link to a file is
    // taken like the file, a link to a folder is not followed (a link to a
    // parent would otherwise recurse without end). Only regular files are
    // taken, so a pipe or a device with a subtitle extension cannot hang
    // the run later.
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) continue;
    if (isSubtitleFile(path, classic)) list.push_back(path);
  }
}

// The extensions listed in text (comma-separated), sorted.
std::vector<std::string> ExtensionList(std::string_view text) {
  std::vector<std::string> list;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    list.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  std::sort(list.begin(), list.end(), NameBefore);
  return list;
}

}  // namespace

const std::vector<std::string>& SubtitleExtensions() {
  static const std::vector<std::string> extensions =
      ExtensionList(".sub,.txt,.srt,.ssa,.smi,.js,.lrc,.dks,.sst,.son,.stl,.ovr,.psb,.bak");
  return extensions;
}

const std::vector<std::string>& NewSubtitleExtensions() {
  static const std::vector<std::string> extensions =
      ExtensionList(".ass,.vtt,.ttml,.dfxp,.sbv,.ttxt,.scc");
  return extensions;
}

bool isSubtitleFile(const std::string& path, bool classic) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < name_start) return false;
  const std::string extension = AsciiLower(std::string_view(path).substr(dot));
  const auto in = [&](const std::vector<std::string>& list) {
    return std::binary_search(list.begin(), list.end(), extension, NameBefore);
  };
  return in(SubtitleExtensions()) || (!classic && in(NewSubtitleExtensions()));
}

void FileLook(const std::string& folder, std::vector<std::string>& list, bool classic) {
  std::set<FolderId> visited;
  LookIn(folder, list, visited, classic);
}

void QueryFile(const std::string& path, std::vector<std::string>& list, bool classic) {
  struct stat st {};
  if (!path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    FileLook(path, list, classic);
  } else if (isSubtitleFile(path, classic)) {
    list.push_back(path);
  }
}

std::string FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::string whole = path;
  if (path.front() != '/') {
    std::string cwd;
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return path;  // no current folder: keep what was given
      buffer.resize(buffer.size() * 2);
    }
    whole = JoinPath(buffer.data(), path);
  }
  // Lexical clean-up only. ".." stays, since folding it into the folder
  // before it would change the path's meaning when that folder is a link.
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= whole.size()) {
    std::size_t slash = whole.find('/', start);
    if (slash == std::string::npos) slash = whole.size();
    const std::string part = whole.substr(start, slash - start);
    if (!part.empty() && part != ".") parts.push_back(part);
    start = slash + 1;
  }
  std::string out;
  for (const auto& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

}  // namespace vorlane
