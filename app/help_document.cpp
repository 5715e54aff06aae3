#include "app/help_document.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/desktop.h"

namespace vorlane {

namespace {

QString FirstFile(const QStringList& folders, const QString& name) {
  for (const QString& folder : folders) {
    const QFileInfo file(QDir(folder), name);
    if (file.isFile()) return file.absoluteFilePath();
  }
  return {};
}

}  // namespace

HelpFiles FindHelpFiles(const QStringList& folders) {
  return {FirstFile(folders, QStringLiteral("help.chm")),
          FirstFile(folders, QStringLiteral("help/index.html"))};
}

QString ChooseHelpDocument(const HelpFiles& files, bool chm_viewer) {
  if (!files.chm.isEmpty() && (chm_viewer || files.html.isEmpty())) return files.chm;
  return files.html;
}

void OpenHelp() {
  const HelpFiles files =
      FindHelpFiles({QDir::currentPath(), QCoreApplication::applicationDirPath()});
  const bool chm_viewer = !files.chm.isEmpty() && DesktopHasProgramFor(files.chm);
  QString document = ChooseHelpDocument(files, chm_viewer);
  if (document.isEmpty()) document = QDir::current().absoluteFilePath(QStringLiteral("help.chm"));
  if (OpenWithDesktop(QUrl::fromLocalFile(document))) return;
  if (document != files.html && !files.html.isEmpty()) {
    OpenWithDesktop(QUrl::fromLocalFile(files.html));
  }
}

}  // namespace vorlane
