// Shows the main window and each dialog, lets each paint, and saves a
// picture of each into the folder given as the first argument. Settings are
// read from and written to a throw-away file, never the real config.ini.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/about_dlg.h"
#include "app/form1.h"
#include "app/fps_dlg.h"
#include "app/input_list.h"
#include "app/skip_dlg.h"
#include "app/window_texts.h"
#include "settings/settings.h"

namespace {

bool Save(QWidget& widget, const QString& folder, const char* name) {
  widget.show();
  if (!QTest::qWaitForWindowExposed(&widget)) QTest::qWait(200);
  QTest::qWait(100);
  const QString path = QDir(folder).filePath(QString::fromLatin1(name));
  const bool saved = widget.grab().save(path);
  std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
  widget.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: vorlane-screenshots FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  QTemporaryDir scratch;
  vorlane::SetConfigFilePath(scratch.filePath(QStringLiteral("config.ini")).toStdString());
  // English whatever the environment says, from the catalogues beside the
  // program.
  vorlane::UseInterfaceLanguage("en");

  bool ok = true;
  {
    vorlane::TForm1 form({});
    for (const char* path : {"/home/ana/Videos/Series/Season 1/episode01.srt",
                             "/home/ana/Videos/Series/Season 1/episode02.sub",
                             "/home/ana/Videos/Films/A rather long folder name/film.txt",
                             "/media/usb/subs/short.ssa"}) {
      form.ParamFiles->AddPath(path);
    }
    form.ParamFiles->item(1)->setSelected(true);
    form.resize(281, 409);  // the size it was designed at
    ok &= Save(form, folder, "main-window.png");
    form.resize(vorlane::kMinClientWidth, vorlane::kMinClientHeight);
    ok &= Save(form, folder, "main-window-minimum.png");
    form.resize(520, 460);
    ok &= Save(form, folder, "main-window-wide.png");
    // Two languages whose texts run longer than the English ones, at the
    // design size, chosen in the language box as the user chooses them.
    form.resize(281, 409);
    for (const auto& [index, name] :
         {std::pair{0, "main-window-pl.png"}, std::pair{2, "main-window-de.png"}}) {
      form.ComboBox2->setCurrentIndex(index);
      form.ComboBox2Change(index);
      ok &= Save(form, folder, name);
    }
    vorlane::UseInterfaceLanguage("en");
  }
  {
    vorlane::TFPSDlg dialog("/home/ana/Videos/Films/film.sub");
    ok &= Save(dialog, folder, "fps-dialog.png");
  }
  {
    vorlane::TSkipDlg dialog;
    dialog.SetPaths({"/home/ana/Videos/Series/Season 1/notes.txt",
                     "/home/ana/Videos/Films/broken.srt", "/media/usb/subs/unknown.sub"});
    ok &= Save(dialog, folder, "skipped-files.png");
  }
  {
    vorlane::TAboutDlg dialog;
    ok &= Save(dialog, folder, "about.png");
    dialog.show();
    dialog.Label6MouseMove();
    ok &= Save(dialog, folder, "about-link-hover.png");
  }
  {
    vorlane::UseInterfaceLanguage("pl");
    vorlane::TAboutDlg dialog;
    ok &= Save(dialog, folder, "about-pl.png");
    vorlane::UseInterfaceLanguage("de");
    vorlane::TSkipDlg skipped;
    skipped.SetPaths({"/home/ana/Videos/Films/broken.srt"});
    ok &= Save(skipped, folder, "skipped-files-de.png");
  }
  return ok ? 0 : 1;
}
