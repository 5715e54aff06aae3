// The About window: the program's name, a short notice and a link to its
// homepage.
#pragma once

#include <QDialog>

class QLabel;

namespace vorlane {

class TAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutDlg(QWidget* parent = nullptr);

  QLabel* Label1;
  QWidget* Shape1;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label6;

  void Label6MouseMove();
  void Label6MouseLeave();
  void Label6Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
};

// Shows the About window and returns when it is closed.
void ShowAbout();

}  // namespace vorlane
