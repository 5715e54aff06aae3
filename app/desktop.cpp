#include "app/desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

#include "app/window_texts.h"

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
  const char* title = "Information";
  if (kind == MessageKind::kWarning) {
    icon = QMessageBox::Warning;
    title = "Warning";
  } else if (kind == MessageKind::kError) {
    icon = QMessageBox::Critical;
    title = "Error";
  }
  // The title and the button follow the interface language; the text
  // stays as it is.
  QMessageBox box(icon, Translated(title), text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.button(QMessageBox::Ok)->setText(Translated("OK"));
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
