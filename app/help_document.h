// Which file "Help" hands to the desktop. The manual comes as help.chm and,
// for desktops without a CHM viewer, as the same pages in HTML
// (help/index.html); both are looked for in the current folder first and
// then beside the executable, so Help works from any working folder.
#pragma once

#include <QString>
#include <QStringList>

namespace vorlane {

struct HelpFiles {
  QString chm;   // absolute path of the first help.chm found, or empty
  QString html;  // absolute path of the first help/index.html found, or empty
};

// Looks for each file in folders, in order.
HelpFiles FindHelpFiles(const QStringList& folders);

// The CHM when the desktop has a program for it (or when there is nothing
// else to offer), otherwise the HTML pages, which a browser shows. Empty
// when neither file was found.
QString ChooseHelpDocument(const HelpFiles& files, bool chm_viewer);

// Opens the manual: the document ChooseHelpDocument names, trying the HTML
// pages when the desktop refuses the CHM. Without any manual the request
// for help.chm in the current folder still goes out; nothing is reported.
void OpenHelp();

}  // namespace vorlane
