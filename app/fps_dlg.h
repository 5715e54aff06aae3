// The frame-rate prompt: asks for the frame rate of a frame-based subtitle
// file that has no video beside it. It has no cancel: however it is closed,
// the field's value is taken.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <string>

class QLabel;
class QToolButton;

namespace vorlane {

// The masked field: a typed "," enters the decimal point like ".".
class TMaskEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TMaskEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Entering the field selects its whole text, so typing replaces it.
  void focusInEvent(QFocusEvent* event) override;

 private:
  // What a typed key does before the field sees it.
  void MaskEdit1KeyPress(QKeyEvent* event);
};

class TFPSDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TFPSDlg(const std::string& subtitle_path, QWidget* parent = nullptr);

  // The number the field held when the prompt closed (0 before that).
  double FrameRate() const { return frame_rate_; }

  QWidget* Shape1;
  QLabel* Label1;
  QLabel* Label3;
  QLabel* Label2;
  TMaskEdit* MaskEdit1;
  QToolButton* SpeedButton1;

  void SpeedButton1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Every way of closing (OK, the close button, Escape) ends here.
  void done(int result) override;

 private:
  void FormShow();
  void FormClose();

  std::string path_;
  double frame_rate_ = 0;
  bool closed_ = false;
};

// Shows the prompt for path and returns the number entered. From then on
// the program writes decimal numbers with ".".
double AskFrameRate(const std::string& path);

}  // namespace vorlane
