// The window's plain logic: shortening a path for a row, reading the
// frame-rate field, and the report of files given up in a run.
#include <QtTest>
#include <string>
#include <vector>

#include "app/fps_field.h"
#include "app/qt_front_end.h"
#include "app/shorten_path.h"

namespace vorlane {

namespace {
// One pixel per character keeps the widths easy to follow.
int CharCount(const std::string& text) {
  return static_cast<int>(text.size());
}

// The distinct results while the row narrows from the path's own width to 0.
QStringList Narrowing(const std::string& path) {
  QStringList results;
  for (int width = static_cast<int>(path.size()); width >= 0; --width) {
    const QString result = QString::fromStdString(ShortenPath(path, width, CharCount));
    if (results.isEmpty() || results.back() != result) results << result;
  }
  return results;
}
}  // namespace

class WindowLogicTest : public QObject {
  Q_OBJECT
 private slots:
  void ShortenPathNarrowsStepByStep_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("results");
    QTest::newRow("drive and backslashes") << "C:\\Media\\clips\\subs\\film.srt"
                                           << QStringList{"C:\\Media\\clips\\subs\\film.srt",
                                                          "C:\\...\\clips\\subs\\film.srt",
                                                          "C:\\...\\subs\\film.srt",
                                                          "C:\\...\\film.srt",
                                                          "...\\film.srt",
                                                          "film.srt"};
    QTest::newRow("absolute POSIX path") << "/Media/clips/subs/film.srt"
                                         << QStringList{"/Media/clips/subs/film.srt",
                                                        "/.../clips/subs/film.srt",
                                                        "/.../subs/film.srt",
                                                        "/.../film.srt",
                                                        ".../film.srt",
                                                        "film.srt"};
    QTest::newRow("relative path")
        << "clips/subs/film.srt"
        << QStringList{"clips/subs/film.srt", ".../subs/film.srt", ".../film.srt", "film.srt"};
    QTest::newRow("folders whose names begin with a dot")
        << "/.a/.config/film.srt"
        << QStringList{"/.a/.config/film.srt", "/.../film.srt", ".../film.srt", "film.srt"};
    QTest::newRow("file name only") << "film.srt" << QStringList{"film.srt"};
    QTest::newRow("root file") << "/film.srt" << QStringList{"/film.srt", "film.srt"};
  }
  void ShortenPathNarrowsStepByStep() {
    QFETCH(QString, path);
    QFETCH(QStringList, results);
    QCOMPARE(Narrowing(path.toStdString()), results);
  }

  void ShortenPathStopsAtTheFirstResultThatFits() {
    // Wide enough for "/.../subs/film.srt" (18) but not the step before.
    QCOMPARE(ShortenPath("/Media/clips/subs/film.srt", 20, CharCount), "/.../subs/film.srt");
    QCOMPARE(ShortenPath("/Media/clips/subs/film.srt", 100, CharCount),
             "/Media/clips/subs/film.srt");
    QCOMPARE(ShortenPath("", 0, CharCount), "");
  }

  void FrameRateFromField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("rate");
    QTest::newRow("initial text") << "25.   " << 25.0;
    QTest::newRow("two decimals and a blank") << "29.97 " << 29.97;
    QTest::newRow("three decimals") << "23.976" << 23.976;
    QTest::newRow("blank field") << "  .   " << 0.0;
    QTest::newRow("leading blank") << " 5.5  " << 5.5;
    QTest::newRow("blanks shown as zeros") << "05.500" << 5.5;
    QTest::newRow("not a number") << "ab.cde" << 0.0;
    QTest::newRow("comma is no decimal point here") << "25,000" << 0.0;
  }
  void FrameRateFromField() {
    QFETCH(QString, text);
    QFETCH(double, rate);
    QCOMPARE(vorlane::FrameRateFromField(text.toStdString()), rate);
  }

  void TypeDecimalPointRightAlignsTheWholeNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("result");
    QTest::newRow("one digit typed") << "5 .   " << 1 << " 5.   ";
    QTest::newRow("two digits typed") << "29.   " << 2 << "29.   ";
    QTest::newRow("nothing typed") << "25.500" << 0 << "  .500";
    QTest::newRow("fraction kept") << "7 .97 " << 1 << " 7.97 ";
    QTest::newRow("past the point") << "25.1  " << 4 << "25.1  ";
  }
  void TypeDecimalPointRightAlignsTheWholeNumber() {
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, result);
    QCOMPARE(QString::fromStdString(TypeDecimalPoint(text.toStdString(), cursor)), result);
  }

  void AbandonedFilesMessageNamesFilesAndReasons() {
    std::vector<QtFrontEnd::Abandoned> abandoned{{"/s/a.srt", "Cannot create folder"}};
    QCOMPARE(AbandonedFilesMessage(abandoned),
             "These files could not be converted:\n\n/s/a.srt\nCannot create folder");
    for (int i = 0; i < 11; ++i) abandoned.push_back({"/s/" + std::to_string(i), "why"});
    const QString text = AbandonedFilesMessage(abandoned);
    QVERIFY(text.contains("/s/8\nwhy"));
    QVERIFY(!text.contains("/s/9\n"));
    QVERIFY(text.endsWith("\n\n... and 2 more."));
  }
};

}  // namespace vorlane

QTEST_GUILESS_MAIN(vorlane::WindowLogicTest)
#include "tst_window_logic.moc"
