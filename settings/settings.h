// The user's options, kept between runs in config.ini beside the executable,
// or in the user's configuration folder when the program's own folder may not
// be written (an installation under a system prefix).
// The record is filled once when the main window is created and written back
// once when it closes; the window copies it to and from its controls.
#pragma once

#include <cstdint>
#include <string>

namespace vorlane {

struct TProgramSettings {
  std::int32_t Width = 0;   // the main window's client width
  std::int32_t Height = 0;  // and height
  std::string FormatName;   // the output format box's text
  std::string Dir;          // initial folder of the "Add files" dialog
  std::string Language;     // interface language code, at most two characters
  bool Backup = false;      // "Backup source files"
  bool Extensions = false;  // "Force proper extensions"
  bool ExitWhenDone = false;
  // [Reading] Classic: read with the classic rules only, and offer only the
  // classic output formats. Off by default; the key is written only once it
  // has been on, so a file that never had it stays as it was.
  bool ClassicReading = false;
  // [Reading] InputEncoding: "auto" (the default: 8-bit text is decoded from
  // the character set uchardet guesses, with a warning where the guess is
  // not sure) or an iconv name. [Writing] OutputEncoding: "source" (the
  // default: the input's own), "utf-8", "utf-8-bom" or an iconv name. Each
  // key is written only once it differs from its default or is there.
  std::string InputEncoding = "auto";
  std::string OutputEncoding = "source";
};

// The one record of the program, zero-filled until LoadSettings.
extern TProgramSettings ProgramSettings;

// The folder that holds the running executable ("." when it cannot be
// told).
std::string ExecutableFolder();

// True when files may be created in folder by this process.
bool FolderIsWritable(const std::string& folder);

// Where a program in program_folder keeps config.ini: beside itself when
// that folder is writable; otherwise in $XDG_CONFIG_HOME/vorlane/ (only an
// absolute XDG_CONFIG_HOME counts), else in $HOME/.config/vorlane/. With
// neither variable set the file stays beside the program.
std::string ConfigFileFor(const std::string& program_folder, bool program_folder_writable,
                          const char* xdg_config_home, const char* home);

// The file to read settings from when config_file is the one to write: the
// file beside the program while config_file (in the user's folder) does not
// exist yet, so options set up there are taken over at the first start.
std::string ConfigFileToRead(const std::string& config_file, const std::string& program_folder);

// config.ini as ConfigFileFor chooses it for the running executable and its
// environment, unless another path was set.
std::string ConfigFilePath();
// Makes LoadSettings and SaveSettings use path; an empty path restores the
// file ConfigFileFor chooses.
void SetConfigFilePath(const std::string& path);

// Reads config.ini (see ConfigFileToRead) into ProgramSettings. Missing keys
// take their defaults; a missing or unreadable file gives every default.
// Nothing is reported.
void LoadSettings();
// Writes ProgramSettings into config.ini, replacing its keys in place and
// keeping every other line; missing folders on the way are created (mode
// 0700). A failure leaves the old file whole and is not reported.
void SaveSettings();

// The same for any file and record.
void LoadSettingsFrom(const std::string& path, TProgramSettings& settings);
bool SaveSettingsTo(const std::string& path, const TProgramSettings& settings);

// The first two characters of a language code, a UTF-8 sequence never cut.
std::string LanguageCode(const std::string& text);

}  // namespace vorlane
