#include "app/desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
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

ProgramForHook& CurrentProgramForHook() {
  static ProgramForHook hook;
  return hook;
}

// The desktop entry xdg-mime names for a MIME type, or empty.
QString DefaultProgramFor(const QString& type) {
  QProcess query;
  query.start(QStringLiteral("xdg-mime"),
              {QStringLiteral("query"), QStringLiteral("default"), type});
  if (!query.waitForFinished(5000)) {
    query.kill();
    query.waitForFinished(1000);
    return {};
  }
  if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
  return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
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

bool DesktopHasProgramFor(const QString& file) {
  if (CurrentProgramForHook()) return CurrentProgramForHook()(file);
  // Viewers announce either the type's own name or one of its aliases
  // (help.chm: application/vnd.ms-htmlhelp, also known as application/x-chm).
  const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
  if (!type.isValid() || type.isDefault()) return false;
  QStringList names{type.name()};
  names += type.aliases();
  for (const QString& name : names) {
    if (!DefaultProgramFor(name).isEmpty()) return true;
  }
  return false;
}

void SetMessageHook(MessageHook hook) {
  CurrentMessageHook() = std::move(hook);
}

void SetOpenHook(OpenHook hook) {
  CurrentOpenHook() = std::move(hook);
}

void SetProgramForHook(ProgramForHook hook) {
  CurrentProgramForHook() = std::move(hook);
}

}  // namespace vorlane
