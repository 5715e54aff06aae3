// The three dialogs: the frame-rate prompt, the skipped-files window and the
// About window, shown modally and closed by the tests.
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QtTest>

#include "app/about_dlg.h"
#include "app/fps_dlg.h"
#include "app/skip_dlg.h"
#include "settings/settings.h"
#include "subtitles/catalogue.h"
#include "subtitles/decimal.h"
#include "subtitles/formats/writer_rules.h"
#include "tests/app/window_test_support.h"

namespace vorlane {

class DialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { CancelModalActions(); }

  void FrameRatePromptShowsTheFileNameAndPath() {
    TFPSDlg dialog("/home/ana/Subs/film.sub");
    dialog.show();
    QCOMPARE(dialog.windowTitle(), "Provide FPS value for subtitles");
    QCOMPARE(dialog.Label1->text(), "Subtitles file: ");
    QCOMPARE(dialog.Label3->text(), "film.sub");
    QCOMPARE(dialog.Label3->toolTip(), "/home/ana/Subs/film.sub");
    QCOMPARE(dialog.Label2->toolTip(), "Frames Per Second");
    QCOMPARE(dialog.MaskEdit1->displayText(), "25.000");
    QVERIFY(dialog.Label3->geometry().left() > dialog.Label1->geometry().right());
    dialog.SpeedButton1Click();
  }

  // Typing in the field, then closing it in one of its three ways.
  void FrameRatePromptTakesWhatTheFieldHolds_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("closing");
    QTest::addColumn<double>("rate");
    QTest::newRow("untouched, close button") << ""
                                             << "close" << 25.0;
    QTest::newRow("untouched, Escape") << ""
                                       << "escape" << 25.0;
    QTest::newRow("29.97, OK") << "29.97"
                               << "ok" << 29.97;
    QTest::newRow("comma for point") << "23,976"
                                     << "ok" << 23.976;
    QTest::newRow("one digit, point") << "5.5"
                                      << "enter" << 5.5;
    QTest::newRow("one digit, comma") << "5,5"
                                      << "ok" << 5.5;
    QTest::newRow("emptied field") << "<del>"
                                   << "ok" << 0.0;
  }
  void FrameRatePromptTakesWhatTheFieldHolds() {
    QFETCH(QString, typed);
    QFETCH(QString, closing);
    QFETCH(double, rate);
    ResetDecimalSeparatorForTesting();
    double result = -1;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TFPSDlg*>(modal);
      QVERIFY(dialog != nullptr);
      if (typed == "<del>") {
        QTest::keyClick(dialog->MaskEdit1, Qt::Key_Delete);  // the text starts selected
      } else if (!typed.isEmpty()) {
        QTest::keyClicks(dialog->MaskEdit1, typed);
      }
      if (closing == "ok") {
        QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
      } else if (closing == "enter") {
        QTest::keyClick(dialog->MaskEdit1, Qt::Key_Return);
      } else if (closing == "escape") {
        QTest::keyClick(dialog, Qt::Key_Escape);
      } else {
        dialog->close();
      }
    });
    result = AskFrameRate("/subs/film.sub");
    QCOMPARE(result, rate);
    QCOMPARE(DecimalSeparator(), '.');
  }

  void SkippedFilesListsPathsInOrderAndFollowsTheWindowSize() {
    const std::vector<std::string> paths{"/b/second.txt", "/a/first.srt", "/c/third.sub"};
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TSkipDlg*>(modal);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->windowTitle(), "Skipped files");
      QCOMPARE(dialog->Label1->text(), "These files are not supported and were not processed");
      QCOMPARE(dialog->ListBox1->count(), 3);
      for (int i = 0; i < 3; ++i) {
        QCOMPARE(dialog->ListBox1->item(i)->text(), QString::fromStdString(paths[i]));
      }
      // The heading is not cut off.
      QVERIFY(dialog->Label1->geometry().right() < dialog->width());
      dialog->resize(700, 500);
      QCOMPARE(dialog->Shape1->geometry(), QRect(0, 32, 700, 468));
      QCOMPARE(dialog->ListBox1->geometry(), QRect(8, 40, 684, 452));
      dialog->close();
    });
    ShowSkippedFiles(paths);
  }

  // The About line counts what the catalogue reads and writes; with the
  // classic reading, what the program always did.
  void AboutCountsTheFormatsReadAndWritten() {
    int reads = 0;
    int writes = 0;
    for (const FormatInfo& info : FormatCatalogue()) {
      if (info.value == sf0) continue;
      reads +=
          info.reader != nullptr || info.second_reader != nullptr || info.binary_reader != nullptr;
      writes += info.writer != nullptr;
    }
    TAboutDlg dialog;
    QCOMPARE(dialog.Label4->text(),
             QString("Reads %1 subtitle formats and writes %2, many files at a time.")
                 .arg(reads)
                 .arg(writes));
    ProgramSettings.ClassicReading = true;
    TAboutDlg classic;
    ProgramSettings.ClassicReading = false;
    QCOMPARE(classic.Label4->text(),
             "Reads 11 subtitle formats and writes 50, many files at a time.");
  }

  void AboutLinkTurnsRedUnderTheMouseAndOpensTheHomepage() {
    DesktopWatch watch;
    TAboutDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), "About");
    QCOMPARE(dialog.Label1->text(), "Vorlane");
    QCOMPARE(dialog.Label6->text(), QString::fromLatin1(kHomepage));
    QCOMPARE(dialog.Label6->toolTip(), "Click to visit homepage");

    QTest::mouseMove(dialog.Label6, QPoint(3, 3));
    QTRY_COMPARE(dialog.Label6->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(dialog.Label6->cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(dialog.Label6, &leave);
    QCOMPARE(dialog.Label6->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(dialog.Label6->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(dialog.Label6, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(watch.opened.size(), std::size_t{1});
    QCOMPARE(watch.opened[0], QUrl("https://vorlane.org"));
  }
};

}  // namespace vorlane

QTEST_MAIN(vorlane::DialogsTest)
#include "tst_dialogs.moc"
