// The skipped-files window: lists, at the end of a run, the files that were
// not converted because they could not be read.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace vorlane {

class TSkipDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TSkipDlg(QWidget* parent = nullptr);

  // Puts the paths into the list, one per row, in the given order.
  void SetPaths(const std::vector<std::string>& paths);

  QLabel* Label1;
  QWidget* Shape1;
  QListWidget* ListBox1;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormResize();
};

// Shows the window with the paths and returns when the user has closed it.
void ShowSkippedFiles(const std::vector<std::string>& paths);

}  // namespace vorlane
