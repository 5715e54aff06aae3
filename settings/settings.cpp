#include "settings/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "settings/ini_file.h"

namespace vorlane {

TProgramSettings ProgramSettings;

namespace {

std::string& ConfigPathOverride() {
  static std::string path;
  return path;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return ".";
  return exe.parent_path().string();
}

bool FolderIsWritable(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ConfigFileFor(const std::string& program_folder, bool program_folder_writable,
                          const char* xdg_config_home, const char* home) {
  const std::string beside = program_folder + "/config.ini";
  if (program_folder_writable) return beside;
  // A relative XDG_CONFIG_HOME is to be ignored, as the base directory
  // rules say.
  if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
    return std::string(xdg_config_home) + "/vorlane/config.ini";
  }
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/vorlane/config.ini";
  return beside;
}

std::string ConfigFileToRead(const std::string& config_file, const std::string& program_folder) {
  const std::string beside = program_folder + "/config.ini";
  std::error_code error;
  if (config_file != beside && !std::filesystem::exists(config_file, error) &&
      std::filesystem::is_regular_file(beside, error)) {
    return beside;
  }
  return config_file;
}

std::string ConfigFilePath() {
  if (!ConfigPathOverride().empty()) return ConfigPathOverride();
  const std::string folder = ExecutableFolder();
  return ConfigFileFor(folder, FolderIsWritable(folder), std::getenv("XDG_CONFIG_HOME"),
                       std::getenv("HOME"));
}

void SetConfigFilePath(const std::string& path) {
  ConfigPathOverride() = path;
}

std::string LanguageCode(const std::string& text) {
  std::size_t end = 0;
  for (int characters = 0; characters < 2 && end < text.size(); ++characters) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

void LoadSettingsFrom(const std::string& path, TProgramSettings& settings) {
  // A file that exists but cannot be read gives the defaults too: leaving
  // the zero-filled record would switch backups off without a word.
  IniFile ini;
  ini.Load(path);
  settings.Width = ini.ReadInteger("Window", "Width", 0);
  settings.Height = ini.ReadInteger("Window", "Height", 0);
  settings.FormatName = ini.ReadString("Format", "Name", "MicroDVD");
  settings.Dir = ini.ReadString("Directory", "Dir", "");
  settings.Language = LanguageCode(ini.ReadString("Interface", "Language", ""));
  settings.Backup = ini.ReadBool("Files", "Backup", true);
  settings.Extensions = ini.ReadBool("Files", "Extensions", true);
  settings.ExitWhenDone = ini.ReadBool("WhenDone", "Exit", true);
  settings.ClassicReading = ini.ReadBool("Reading", "Classic", false);
  settings.InputEncoding = ini.ReadString("Reading", "InputEncoding", "auto");
  settings.OutputEncoding = ini.ReadString("Writing", "OutputEncoding", "source");
}

namespace {

// Creates the missing folders above path, each readable by its owner only.
void MakeParentFolders(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::filesystem::path partial;
  for (const std::filesystem::path& part : parent) {
    partial /= part;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

}  // namespace

bool SaveSettingsTo(const std::string& path, const TProgramSettings& settings) {
  MakeParentFolders(path);
  IniFile ini;
  // A file we cannot read is not overwritten: its other lines would be lost.
  if (!ini.Load(path)) return false;
  ini.WriteInteger("Window", "Width", settings.Width);
  ini.WriteInteger("Window", "Height", settings.Height);
  ini.WriteString("Format", "Name", settings.FormatName);
  ini.WriteString("Directory", "Dir", settings.Dir);
  ini.WriteString("Interface", "Language", LanguageCode(settings.Language));
  ini.WriteBool("Files", "Backup", settings.Backup);
  ini.WriteBool("Files", "Extensions", settings.Extensions);
  ini.WriteBool("WhenDone", "Exit", settings.ExitWhenDone);
  if (settings.ClassicReading || ini.Value("Reading", "Classic")) {
    ini.WriteBool("Reading", "Classic", settings.ClassicReading);
  }
  if (settings.InputEncoding != "auto" || ini.Value("Reading", "InputEncoding")) {
    ini.WriteString("Reading", "InputEncoding", settings.InputEncoding);
  }
  if (settings.OutputEncoding != "source" || ini.Value("Writing", "OutputEncoding")) {
    ini.WriteString("Writing", "OutputEncoding", settings.OutputEncoding);
  }
  return ini.Save(path);
}

void LoadSettings() {
  const std::string path = ConfigFilePath();
  LoadSettingsFrom(ConfigPathOverride().empty() ? ConfigFileToRead(path, ExecutableFolder()) : path,
                   ProgramSettings);
}

void SaveSettings() {
  SaveSettingsTo(ConfigFilePath(), ProgramSettings);
}

}  // namespace vorlane
