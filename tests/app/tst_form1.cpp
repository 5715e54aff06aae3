// The main window driven as a user and the desktop drive it: start-up from
// settings and the command line, drops, removal, resizing, runs, closing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "app/about_dlg.h"
#include "app/form1.h"
#include "app/fps_dlg.h"
#include "app/help_document.h"
#include "app/input_list.h"
#include "app/skip_dlg.h"
#include "app/window_texts.h"
#include "settings/settings.h"
#include "subtitles/catalogue.h"
#include "subtitles/decimal.h"
#include "tests/app/window_test_support.h"

namespace vorlane {

namespace {

const char kSubRip[] = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n";
const char kMicroDVD[] = "{25}{50}Hello\r\n";
// Recognised as SubRip, but a time field does not parse.
const char kBrokenSubRip[] = "1\r\n00:00:0x,000 --> 00:00:02,000\r\nHello\r\n\r\n";

void Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const TForm1& form) {
  QStringList entries;
  for (const std::string& path : form.ParamFiles->Paths()) entries << QString::fromStdString(path);
  return entries;
}

std::vector<std::string> Args(const QStringList& list) {
  std::vector<std::string> args;
  for (const QString& a : list) args.push_back(a.toStdString());
  return args;
}

void Drop(TForm1& form, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QWidget* target = form.ParamFiles->viewport();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir config_dir_;
  QString config_;
  std::unique_ptr<QTemporaryDir> files_;

  QString File(const QString& name) const { return files_->filePath(name); }

 private slots:
  void initTestCase() {
    config_ = config_dir_.filePath("config.ini");
    SetConfigFilePath(config_.toStdString());
  }

  void init() {
    CancelModalActions();
    QFile::remove(config_);
    ProgramSettings = TProgramSettings{};
    UseInterfaceLanguage("");
    ResetDecimalSeparatorForTesting();
    files_ = std::make_unique<QTemporaryDir>();
  }

  void FirstStartWithoutSettings() {
    DesktopWatch watch;
    TForm1 form({});
    QCOMPARE(form.windowTitle(), "Vorlane 1.2");
    QCOMPARE(form.size(), QSize(kMinClientWidth, kMinClientHeight));
    QCOMPARE(form.ComboBox1->currentText(), "MicroDVD");
    QVERIFY(form.CheckBox1->isChecked() && form.CheckBox2->isChecked() &&
            form.CheckBox3->isChecked());
    QCOMPARE(form.ParamFiles->count(), 0);
    QCOMPARE(form.ComboBox2->currentText(), "en - English");
    QCOMPARE(form.ComboBox2->count(), 12);
    QCOMPARE(form.ParamFiles->toolTip(), "Drag & drop your files here");
    QCOMPARE(form.CheckBox1->toolTip(), "Backup files with be stored in BAK directory");

    // The 50 classic formats and those after them (SBV among them), sorted
    // without regard to case, each carrying its value.
    QCOMPARE(form.ComboBox1->count(), static_cast<int>(OutputFormatsInBoxOrder().size()));
    QVERIFY(form.ComboBox1->count() > 50);
    QVERIFY(form.ComboBox1->findText("SBV") >= 0);
    QStringList names;
    for (int i = 0; i < form.ComboBox1->count(); ++i) {
      names << form.ComboBox1->itemText(i);
      QCOMPARE(form.ComboBox1->itemData(i).toInt(),
               static_cast<int>(FindFormatByName(names.back().toStdString()).value()));
    }
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(names, sorted);
    QCOMPARE(names.mid(0, 3), QStringList({"AdobeEncoreDVD", "AdvancedSSA", "AQTitle"}));

    form.show();
    QTRY_COMPARE(form.Tag(), 1);
    QTest::qWait(50);
    QVERIFY(form.Button1->isEnabled());
    QVERIFY(watch.messages.empty());
  }

  void CommandLineFormatAndFolderConvertAndClose() {
    DesktopWatch watch;
    Write(File("subs/a.srt"), kSubRip);
    Write(File("subs/deeper/b.srt"), kSubRip);
    Write(File("subs/.hidden.srt"), kSubRip);
    Write(File("subs/film.avi"), "RIFF");
    TForm1 form(Args({"tmplayer", File("subs")}));
    QVERIFY(form.AutoStart());
    QCOMPARE(form.ComboBox1->currentText(), "TMPlayer");
    QCOMPARE(form.ParamFiles->count(), 2);

    form.show();
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 10000);
    QCOMPARE(watch.Texts(), QStringList({"Done!"}));
    QCOMPARE(watch.messages[0].kind, MessageKind::kInformation);
    QCOMPARE(form.ProgressBar1->value(), 2);
    QCOMPARE(form.ParamFiles->count(), 0);
    QVERIFY(Read(File("subs/a.txt")).contains("Hello"));
    QVERIFY(Read(File("subs/deeper/b.txt")).contains("Hello"));
    QCOMPARE(Read(File("subs/BAK/a.srt")), QByteArray(kSubRip));
    QVERIFY(!QFile::exists(File("subs/a.srt")));
    QCOMPARE(Read(File("subs/.hidden.srt")), QByteArray(kSubRip));
    QVERIFY(Read(config_).contains("[Format]\nName=TMPlayer\n"));
  }

  void CommandLineArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("auto_start");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("format");
    // The saved format is SubRipper in every row.
    QTest::newRow("a file first") << QStringList{"<dir>/x.srt", "<dir>/y.SUB"} << false
                                  << QStringList{"<dir>/x.srt", "<dir>/y.SUB"} << "SubRipper";
    QTest::newRow("a format alone")
        << QStringList{"MICRODVD"} << true << QStringList{} << "MicroDVD";
    QTest::newRow("neither format nor subtitle")
        << QStringList{"nonsense", "<dir>/x.avi"} << false << QStringList{} << "SubRipper";
    QTest::newRow("missing file with a subtitle extension")
        << QStringList{"<dir>/missing.txt"} << false << QStringList{"<dir>/missing.txt"}
        << "SubRipper";
  }
  void CommandLineArguments() {
    QFETCH(QStringList, args);
    QFETCH(bool, auto_start);
    QFETCH(QStringList, entries);
    QFETCH(QString, format);
    Write(File("x.srt"), kSubRip);
    Write(File("y.SUB"), kMicroDVD);
    Write(config_, "[Format]\nName=SubRipper\n");
    args.replaceInStrings("<dir>", files_->path());
    entries.replaceInStrings("<dir>", files_->path());

    DesktopWatch watch;
    TForm1 form(Args(args));
    QCOMPARE(form.AutoStart(), auto_start);
    QCOMPARE(Entries(form), entries);
    QCOMPARE(form.ComboBox1->currentText(), format);
    form.show();
    QTRY_COMPARE(form.Tag(), 1);
    QTest::qWait(50);
    QVERIFY(form.Button1->isEnabled());
    QVERIFY(watch.messages.empty());
    QCOMPARE(Read(File("x.srt")), QByteArray(kSubRip));
  }

  // [Reading] Classic=1: the box offers the classic formats alone, and the
  // setting is kept when the window closes.
  void ClassicSettingOffersTheClassicFormats() {
    Write(config_, "[Reading]\nClassic=1\n");
    {
      TForm1 form({});
      QCOMPARE(form.ComboBox1->count(), static_cast<int>(OutputFormatsInBoxOrder(true).size()));
      for (int i = 0; i < form.ComboBox1->count(); ++i) {
        QVERIFY(IsClassicFormat(static_cast<TSubtitleFormat>(form.ComboBox1->itemData(i).toInt())));
      }
      form.close();
    }
    QVERIFY(Read(config_).contains("[Reading]\nClassic=1\n"));
  }

  void DropsTakeSubtitleFilesAndSearchFolders_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("upper-case extension") << QStringList{"FILM.SRT"} << QStringList{"FILM.SRT"};
    QTest::newRow("video file") << QStringList{"film.avi"} << QStringList{};
    QTest::newRow("same file twice")
        << QStringList{"FILM.SRT", "FILM.SRT"} << QStringList{"FILM.SRT", "FILM.SRT"};
    QTest::newRow("folder") << QStringList{"folder"}
                            << QStringList{"folder/Season1/EP01.SRT", "folder/old.bak"};
    QTest::newRow("file and folder")
        << QStringList{"film.avi", "folder", "FILM.SRT"}
        << QStringList{"folder/Season1/EP01.SRT", "folder/old.bak", "FILM.SRT"};
  }
  void DropsTakeSubtitleFilesAndSearchFolders() {
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, entries);
    for (const char* name : {"FILM.SRT", "film.avi", "folder/Season1/EP01.SRT", "folder/old.bak",
                             "folder/.old/x.srt", "folder/.hidden.srt", "folder/notes.doc"}) {
      Write(File(name), kSubRip);
    }
    TForm1 form({});
    QList<QUrl> urls;
    for (const QString& name : dropped) urls << QUrl::fromLocalFile(File(name));
    Drop(form, urls);
    QStringList expected;
    for (const QString& name : entries) expected << File(name);
    QStringList listed = Entries(form);
    if (dropped.contains("folder")) {
      // Within a folder the order is the file system's business.
      std::sort(listed.begin(), listed.end());
      std::sort(expected.begin(), expected.end());
    }
    QCOMPARE(listed, expected);
  }

  void DropOfAddressesIsRefused() {
    TForm1 form({});
    QMimeData data;
    data.setUrls({QUrl("https://example.org/film.srt")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QVERIFY(!enter.isAccepted());
  }

  void RemoveSelected_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<bool>("by_key");
    const QStringList all{"/a.srt", "/b.srt", "/c.srt", "/d.srt"};
    for (bool key : {false, true}) {
      const char* how = key ? "Del" : "menu";
      QTest::addRow("%s, none", how) << QList<int>{} << all << key;
      QTest::addRow("%s, some", how) << QList<int>{0, 2} << QStringList{"/b.srt", "/d.srt"} << key;
      QTest::addRow("%s, all", how) << QList<int>{0, 1, 2, 3} << QStringList{} << key;
    }
  }
  void RemoveSelected() {
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, left);
    QFETCH(bool, by_key);
    TForm1 form({});
    for (const char* path : {"/a.srt", "/b.srt", "/c.srt", "/d.srt"})
      form.ParamFiles->AddPath(path);
    for (int row : selected) form.ParamFiles->item(row)->setSelected(true);
    if (by_key) {
      QTest::keyClick(form.ParamFiles, Qt::Key_Delete);
    } else {
      QCOMPARE(form.Removeselected1->text(), "Remove selected");
      form.Removeselected1->trigger();
    }
    QCOMPARE(Entries(form), left);
  }

  void RowsShortenLongPathsToTheirWidth() {
    TForm1 form({});
    const QString path = "/home/ana/Media/clips/subtitles/for the film/film.srt";
    form.ParamFiles->AddPath(path.toStdString());
    QCOMPARE(form.ParamFiles->RowText(0, 2000), path);
    QFontMetrics metrics(form.ParamFiles->font());
    QString previous = path;
    for (int width = 300; width >= 80; width -= 20) {
      const QString shown = form.ParamFiles->RowText(0, width);
      QVERIFY2(metrics.horizontalAdvance(shown) <= width - 4, qPrintable(shown));
      QVERIFY(shown.endsWith("/film.srt"));
      QVERIFY(shown.size() <= previous.size());
      previous = shown;
    }
    QCOMPARE(form.ParamFiles->RowText(0, 10), "film.srt");
  }

  void ResizeKeepsButtonsRightAlignedAtTheMinimumWidth() {
    TForm1 form({});
    form.show();
    form.resize(100, 100);  // below the minimum
    QCOMPARE(form.size(), QSize(kMinClientWidth, kMinClientHeight));
    const int cw = form.width();
    QCOMPARE(form.Panel1->geometry(), QRect(0, form.height() - kPanelHeight, cw, kPanelHeight));
    QCOMPARE(form.Button1->geometry().right() + 1, cw - 8);
    QCOMPARE(form.Button4->geometry().right() + 1, form.Button1->x() - 8);
    QCOMPARE(form.Button3->geometry().right() + 1, form.Button4->x() - 8);
    QVERIFY(form.Button3->x() >= 0);
    QCOMPARE(form.Button2->geometry().right() + 1, cw - 8);
    QCOMPARE(form.ComboBox1->width(), cw - 16);
    QCOMPARE(form.ProgressBar1->width(), cw - 16);
    QCOMPARE(form.ParamFiles->width(), cw - 16);
    QCOMPARE(form.ParamFiles->geometry().bottom() + 1, form.Panel1->y() - 8);
    QCOMPARE(form.ComboBox2->pos(), QPoint(136, 150));
  }

  void SettingsRoundTrip() {
    {
      TForm1 form({});
      form.ComboBox1->setCurrentIndex(form.ComboBox1->findText("WebVTT"));
      form.CheckBox2->setChecked(false);
      form.resize(400, 500);
      form.ComboBox2->setCurrentIndex(2);  // the user picks "de - Deutsch"
      emit form.ComboBox2->activated(2);
      QCOMPARE(form.ComboBox2->currentIndex(), 2);
      QCOMPARE(form.windowTitle(), "Vorlane");  // retranslated, without the version
      form.close();
    }
    const QByteArray text = Read(config_);
    QVERIFY(text.contains("[Window]\nWidth=400\nHeight=500\n"));
    QVERIFY(text.contains("[Format]\nName=WebVTT\n"));
    QVERIFY(text.contains("[Directory]\nDir=" + QDir::currentPath().toUtf8() + "/\n"));
    QVERIFY(text.contains("[Interface]\nLanguage=de\n"));
    QVERIFY(text.contains("[Files]\nBackup=1\nExtensions=0\n"));

    UseInterfaceLanguage("");
    TForm1 again({});
    QCOMPARE(again.ComboBox1->currentText(), "WebVTT");
    QCOMPARE(again.size(), QSize(400, 500));
    QVERIFY(!again.CheckBox2->isChecked());
    QCOMPARE(again.ComboBox2->currentIndex(), 2);
  }

  void HandEditedSettingsAreUpdatedInPlace() {
    Write(config_,
          "; kept\r\n[format]\r\nname = subripper\r\n[Files]\r\nBackup=0\r\n"
          "[Interface]\r\nLanguage=japanese\r\n[Mine]\r\nKeep=1\r\n");
    TForm1 form({});
    QCOMPARE(form.ComboBox1->currentText(), "SubRipper");
    QVERIFY(!form.CheckBox1->isChecked());
    QCOMPARE(form.ComboBox2->currentText(), "en - English");  // "ja" has no entry
    form.CheckBox3->setChecked(false);
    form.close();
    const QByteArray text = Read(config_);
    QVERIFY(
        text.startsWith("; kept\r\n[format]\r\nname = SubRipper\r\n[Files]\r\nBackup=0\r\n"
                        "Extensions=1\r\n[Interface]\r\nLanguage=ja\r\n[Mine]\r\nKeep=1\r\n"));
    QVERIFY(text.contains("[WhenDone]\r\nExit=0\r\n"));
  }

  void StartWithAnEmptyListOnlyWarns() {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      text = box->text();
      icon = box->icon();
      buttons = static_cast<int>(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    });
    TForm1 form({});
    form.Button1->click();
    QCOMPARE(text, "Please choose files!");
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, 1);
    QVERIFY(form.Button1->isEnabled());
    QVERIFY(!QFile::exists(config_));
  }

  void RunReportsCorruptedAndSkippedFiles() {
    Write(File("bad.srt"), kBrokenSubRip);
    Write(File("unknown.txt"), "nothing to see here\r\n");
    Write(File("good.srt"), kSubRip);
    DesktopWatch watch;
    TForm1 form(Args({"SubRipper", File("bad.srt"), File("unknown.txt"), File("good.srt")}));
    form.CheckBox3->setChecked(false);
    QStringList rows;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TSkipDlg*>(modal);
      QVERIFY(dialog != nullptr);
      for (int i = 0; i < dialog->ListBox1->count(); ++i) rows << dialog->ListBox1->item(i)->text();
      dialog->close();
    });
    form.Button1->click();
    QCOMPARE(rows, QStringList({File("bad.srt"), File("unknown.txt")}));
    QCOMPARE(watch.Texts(),
             QStringList({"File " + File("bad.srt") +
                              " is corrupted. Error on line: '0x' is not a valid integer value"
                              " (line 2)",
                          "Done!"}));
    QCOMPARE(watch.messages[0].kind, MessageKind::kError);
    QCOMPARE(form.ProgressBar1->value(), 3);
    QVERIFY(!form.Button1->isEnabled());
    QCOMPARE(form.ParamFiles->count(), 0);
    QCOMPARE(Read(File("bad.srt")), QByteArray(kBrokenSubRip));
    QCOMPARE(Read(File("BAK/good.srt")), QByteArray(kSubRip));
    QVERIFY(Read(File("good.srt")).contains("Hello"));
  }

  void FilesGivenUpAreReportedBeforeDone() {
    Write(File("a.srt"), kSubRip);
    Write(File("BAK"), "a file where the backup folder should be");
    DesktopWatch watch;
    TForm1 form(Args({"SubRipper", File("a.srt")}));
    form.CheckBox3->setChecked(false);
    form.Button1->click();
    QCOMPARE(watch.messages.size(), std::size_t{2});
    QCOMPARE(watch.messages[0].kind, MessageKind::kError);
    QVERIFY(watch.messages[0].text.startsWith("These files could not be converted:\n\n" +
                                              File("a.srt") + "\n"));
    QCOMPARE(watch.messages[1].text, "Done!");
    QCOMPARE(Read(File("a.srt")), QByteArray(kSubRip));
  }

  void RefusedFormatIsNamedAfterTheRun() {
    Write(File("captions.txt"), "# VobSub index file, v7 (do not modify this line!)\r\n");
    DesktopWatch watch;
    TForm1 form(Args({"SubRipper", File("captions.txt")}));
    form.CheckBox3->setChecked(false);
    WhenModal([](QWidget* modal) { modal->close(); });  // the skipped-files window
    form.Button1->click();
    QCOMPARE(watch.Texts(),
             QStringList({"These files could not be converted:\n\n" + File("captions.txt") +
                              "\nVobSub subtitles are not supported",
                          "Done!"}));
  }

  void ClosingDuringARunStopsAfterTheCurrentFile() {
    Write(File("a.sub"), kMicroDVD);
    Write(File("b.srt"), kSubRip);
    DesktopWatch watch;
    TForm1 form(Args({"TMPlayer", File("a.sub"), File("b.srt")}));
    form.CheckBox3->setChecked(false);
    form.show();
    bool asked = false;
    WhenModal([&](QWidget* modal) {
      auto* prompt = qobject_cast<TFPSDlg*>(modal);
      QVERIFY(prompt != nullptr);
      QCOMPARE(prompt->Label3->text(), "a.sub");
      asked = true;
      form.close();  // the user closes the main window while the run goes on
      QVERIFY(form.CloseRequested());
      prompt->SpeedButton1Click();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 10000);
    QVERIFY(asked);
    QVERIFY(watch.messages.empty());  // no "Done!", no skipped window
    QVERIFY(Read(File("a.txt")).contains("Hello"));
    QCOMPARE(Read(File("b.srt")), QByteArray(kSubRip));
    QVERIFY(!QFile::exists(File("b.txt")));
    QVERIFY(Read(config_).contains("Name=TMPlayer"));
    QCOMPARE(DecimalSeparator(), '.');
  }

  // The smoke test of the common case today: film.sub beside film.mkv
  // (24000/1001 frames per second) converts without a prompt, at the exact
  // rate: frame 960000 is 40040 seconds in, not 40040.04.
  void MicroDVDBesideAMatroskaVideoTakesItsExactRate() {
    QVERIFY(QFile::copy(VORLANE_TEST_DATA "/videos/clip.mkv", File("film.mkv")));
    Write(File("film.sub"), "{960000}{960240}Late\r\n");
    DesktopWatch watch;
    TForm1 form(Args({"SubRipper", File("film.sub")}));
    form.CheckBox3->setChecked(false);
    QStringList modals;
    WhenModal([&](QWidget* modal) {
      modals << modal->metaObject()->className();
      modal->close();
    });
    form.Button1->click();
    QCOMPARE(modals, QStringList{});
    QCOMPARE(watch.Texts(), QStringList({"Done!"}));
    QVERIFY(Read(File("film.srt")).contains("11:07:20,000 --> 11:07:30,010\r\nLate"));
  }

  void AddFilesTakesAnyChosenFileAndRemembersItsFolder() {
    Write(File("pick/film.avi"), "RIFF");
    Write(config_, "[Directory]\nDir=" + File("pick").toUtf8() + "/\n");
    TForm1 form({});
    QString opened_in;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog != nullptr);
      opened_in = dialog->directory().absolutePath();
      // The file is typed into the name field, as a user does: choosing it
      // in the list races with the dialog's listing of its folder, which
      // comes in the background and may clear the selection.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(name != nullptr);
      name->setText(QStringLiteral("film.avi"));
      QCOMPARE(dialog->selectedFiles(), QStringList({File("pick/film.avi")}));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    form.Button2->click();
    QCOMPARE(opened_in, File("pick"));
    QCOMPARE(Entries(form), QStringList({File("pick/film.avi")}));
    form.close();
    QVERIFY(Read(config_).contains("Dir=" + File("pick").toUtf8() + "/\n"));
  }

  void HelpAndAbout() {
    DesktopWatch watch;
    TForm1 form({});
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(files_->path()));
    form.Button3->click();
    QCOMPARE(watch.opened.size(), std::size_t{1});
    QCOMPARE(watch.opened[0], QUrl::fromLocalFile(QDir::current().absoluteFilePath("help.chm")));
    QDir::setCurrent(previous);
    bool shown = false;
    WhenModal([&](QWidget* modal) {
      shown = qobject_cast<TAboutDlg*>(modal) != nullptr;
      modal->close();
    });
    form.Button4->click();
    QVERIFY(shown);
  }

  // Which pages Help asks the desktop to open, by the files in the current
  // folder and what the desktop can show.
  void HelpFallsBackToTheHtmlPages_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("chm_viewer");
    QTest::addColumn<bool>("open_result");
    QTest::addColumn<QStringList>("opened");
    const QStringList both{"help.chm", "help/index.html"};
    QTest::newRow("CHM viewer") << both << true << true << QStringList{"help.chm"};
    QTest::newRow("no CHM viewer") << both << false << true << QStringList{"help/index.html"};
    QTest::newRow("CHM refused") << both << true << false
                                 << QStringList{"help.chm", "help/index.html"};
    QTest::newRow("only the CHM") << QStringList{"help.chm"} << false << true
                                  << QStringList{"help.chm"};
    QTest::newRow("only the HTML")
        << QStringList{"help/index.html"} << true << true << QStringList{"help/index.html"};
    QTest::newRow("no manual") << QStringList{} << true << false << QStringList{"help.chm"};
  }
  void HelpFallsBackToTheHtmlPages() {
    QFETCH(QStringList, files);
    QFETCH(bool, chm_viewer);
    QFETCH(bool, open_result);
    QFETCH(QStringList, opened);
    for (const QString& name : files) Write(File(name), "manual");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(files_->path()));
    DesktopWatch watch;
    watch.chm_viewer = chm_viewer;
    watch.open_result = open_result;
    TForm1 form({});
    form.Button3->click();
    QDir::setCurrent(previous);
    QStringList asked;
    for (const QUrl& url : watch.opened)
      asked << QDir(files_->path()).relativeFilePath(url.toLocalFile());
    QCOMPARE(asked, opened);
  }

  void HelpFilesAreFoundInTheFirstFolderHoldingThem() {
    Write(File("b/help.chm"), "manual");
    Write(File("c/help.chm"), "manual");
    Write(File("c/help/index.html"), "manual");
    const HelpFiles found = FindHelpFiles({File("a"), File("b"), File("c")});
    QCOMPARE(found.chm, File("b/help.chm"));
    QCOMPARE(found.html, File("c/help/index.html"));
  }
};

}  // namespace vorlane

QTEST_MAIN(vorlane::Form1Test)
#include "tst_form1.moc"
