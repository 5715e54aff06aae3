#include "app/desktop.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace vorlane {

namespace {

MessageHook& CurrentMessageHook() {
  static MessageHook hook;
  return hook;
}

OpenHook& CurrentOpenHook() {
  static OpenHook hook;
  return hook;
}

}  // namespace

void ShowMessage(QWidget* parent, MessageKind kind, const QString& text) {
  if (CurrentMessageHook()) {
    CurrentMessageHook()(parent, kind, text);
    return;
  }
  QMessageBox::Icon icon = QMessageBox::Information;
  QString title = QStringLiteral("Information");
  if (kind == MessageKind::kWarning) {
    icon = QMessageBox::Warning;
    title = QStringLiteral("Warning");
  } else if (kind == MessageKind::kError) {
    icon = QMessageBox::Critical;
    title = QStringLiteral("Error");
  }
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

bool OpenWithDesktop(const QUrl& url) {
  if (CurrentOpenHook()) return CurrentOpenHook()(url);
  return QDesktopServices::openUrl(url);
}

void SetMessageHook(MessageHook hook) {
  CurrentMessageHook() = std::move(hook);
}

void SetOpenHook(OpenHook hook) {
  CurrentOpenHook() = std::move(hook);
}

}  // namespace vorlane
