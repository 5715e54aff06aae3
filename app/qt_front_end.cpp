#include "app/qt_front_end.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QProgressBar>

#include "app/desktop.h"
#include "app/form1.h"
#include "app/fps_dlg.h"
#include "app/input_list.h"
#include "app/skip_dlg.h"

namespace vorlane {

std::optional<std::string> QtFrontEnd::EntryAt(int index) {
  return form_.ParamFiles->PathAt(index);
}

bool QtFrontEnd::BackupOn() {
  return form_.CheckBox1->isChecked();
}

bool QtFrontEnd::ForceExtensionOn() {
  return form_.CheckBox2->isChecked();
}

double QtFrontEnd::AskFrameRate(const std::string& path) {
  return vorlane::AskFrameRate(path);
}

void QtFrontEnd::ReportCorruptedFile(const std::string& message) {
  ShowMessage(&form_, MessageKind::kError, QString::fromStdString(message));
}

void QtFrontEnd::ShowSkippedFiles(const std::vector<std::string>& paths) {
  vorlane::ShowSkippedFiles(paths);
}

void QtFrontEnd::SetProgress(int position, int maximum) {
  // A maximum of 0 would turn the bar into a busy indicator.
  form_.ProgressBar1->setRange(0, std::max(maximum, 1));
  form_.ProgressBar1->setValue(position);
}

void QtFrontEnd::ProcessEvents() {
  QCoreApplication::processEvents();
  form_.repaint();
}

void QtFrontEnd::FileAbandoned(const std::string& path, const std::string& reason) {
  abandoned_.push_back({path, reason});
}

void QtFrontEnd::FileSkipped(const SkipNotice& notice) {
  if (notice.reason == SkipReason::kNotSupported) {
    abandoned_.push_back({notice.path, notice.detail});
  }
}

bool QtFrontEnd::StopRequested() {
  return form_.CloseRequested();
}

QString AbandonedFilesMessage(const std::vector<QtFrontEnd::Abandoned>& abandoned) {
  constexpr std::size_t kShown = 10;
  QString text = QStringLiteral("These files could not be converted:");
  for (std::size_t i = 0; i < abandoned.size() && i < kShown; ++i) {
    text += QStringLiteral("\n\n") + QString::fromStdString(abandoned[i].path) +
            QStringLiteral("\n") + QString::fromStdString(abandoned[i].reason);
  }
  if (abandoned.size() > kShown) {
    text += QStringLiteral("\n\n... and %1 more.").arg(abandoned.size() - kShown);
  }
  return text;
}

}  // namespace vorlane
