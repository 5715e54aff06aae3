// The main window: the input list, the output format, the options and the
// Start button that runs a conversion over the list.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QUrl;

namespace vorlane {

class TParamFiles;

// Size of the panel at the bottom of the window, which holds every control
// below the input list.
inline constexpr int kPanelHeight = 209;
// The window never gets smaller than this (client area).
inline constexpr int kMinClientWidth = 281;
inline constexpr int kMinClientHeight = 283;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // Creates the window (FormCreate): settings, texts, the format box, the
  // saved size, folder and options, then the command line: an optional
  // output format name followed by files and folders.
  explicit TForm1(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
  ~TForm1() override;

  QLabel* Label1;
  QPushButton* Button2;
  TParamFiles* ParamFiles;
  QWidget* Panel1;
  QLabel* Label2;
  QComboBox* ComboBox1;
  QProgressBar* ProgressBar1;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QLabel* Label3;
  QComboBox* ComboBox2;
  QPushButton* Button3;
  QPushButton* Button4;
  QPushButton* Button1;
  QMenu* PopupMenu1;
  QAction* Removeselected1;

  // True when the first argument named an output format.
  bool AutoStart() const { return auto_start_; }
  // 1 once the window has been activated for the first time.
  int Tag() const { return tag_; }
  // True while a run goes on.
  bool Running() const { return running_; }
  // True when the window was asked to close during a run: the run ends
  // after the file in progress and the window closes then.
  bool CloseRequested() const { return close_requested_; }
  // The output format selected in the format box.
  TSubtitleFormat SelectedFormat() const;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Removeselected1Click();
  void ComboBox2Change(int index);
  void FormActivate();
  void FormResize();

  // Adds what a dropped or named path yields: a folder's subtitle files,
  // or the path itself when it has a subtitle extension.
  void QueryFile(const std::string& path);
  // Files and folders dropped on the window.
  void FilesDropped(const QList<QUrl>& urls);
  // Converts the list's entries into format, with progress in the bar.
  void ConvertAll(TSubtitleFormat format);

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void FormCreate(const std::vector<std::string>& arguments);
  void FormClose();
  bool ParamFilesKeyDown(int key);

  bool auto_start_ = false;
  int tag_ = 0;
  bool running_ = false;
  bool close_requested_ = false;
  QString open_dialog_folder_;  // where "Add files" opens
  QString chosen_file_;         // the first file of the last choice, if any
};

}  // namespace vorlane
