// Gathering input paths from dropped items, the command line and folders:
// a folder is searched recursively and only files with a subtitle extension
// are taken.
#pragma once

#include <string>
#include <vector>

namespace vorlane {

// The 14 accepted extensions with their leading full stop, sorted:
// ".bak", ".dks", ".js", ".lrc", ".ovr", ".psb", ".smi", ".son", ".srt",
// ".ssa", ".sst", ".stl", ".sub", ".txt".
const std::vector<std::string>& SubtitleExtensions();
// The extensions of the formats read beyond the classic rules, taken as
// well unless classic: ".ass", ".dfxp", ".sbv", ".ttml", ".ttxt", ".vtt".
const std::vector<std::string>& NewSubtitleExtensions();

// True when the extension of the path's file name (from its last full stop
// on) is one of SubtitleExtensions or, unless classic, of
// NewSubtitleExtensions, without regard to case.
bool isSubtitleFile(const std::string& path, bool classic = false);

// Appends to list every accepted file in folder and, depth first, in its
// subfolders, each under its real name. Entries whose names begin with "."
// and folders named BAK (the backups) are passed over, symbolic links to
// folders are not followed, and folders that cannot be listed are passed
// over silently. A file whose path is longer than the system allows is
// listed all the same, so that the run reports it. Entries come in name
// order.
void FileLook(const std::string& folder, std::vector<std::string>& list, bool classic = false);

// Appends what path yields: the accepted files below it when it is a
// folder, else the path itself when isSubtitleFile accepts it (whether or
// not the file exists). The path is taken whole, whatever its length.
void QueryFile(const std::string& path, std::vector<std::string>& list, bool classic = false);

// path made absolute against the current folder, with "." components,
// doubled and trailing separators removed. ".." is kept and no link is
// resolved. Empty stays empty.
std::string FullPath(const std::string& path);

}  // namespace vorlane
