#include "settings/settings.h"

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

std::string ConfigFilePath() {
  if (!ConfigPathOverride().empty()) return ConfigPathOverride();
  return ExecutableFolder() + "/config.ini";
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
}

bool SaveSettingsTo(const std::string& path, const TProgramSettings& settings) {
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
  return ini.Save(path);
}

void LoadSettings() {
  LoadSettingsFrom(ConfigFilePath(), ProgramSettings);
}

void SaveSettings() {
  SaveSettingsTo(ConfigFilePath(), ProgramSettings);
}

}  // namespace vorlane
