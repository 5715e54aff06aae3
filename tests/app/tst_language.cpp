// The interface language in the windows: switching among the 12 languages
// of the language box, what a switch leaves alone, the language kept in
// config.ini, the dialogs and message boxes, and translated texts that must
// fit their controls. The catalogues are the ones built for the program.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <set>

#include "app/about_dlg.h"
#include "app/form1.h"
#include "app/fps_dlg.h"
#include "app/input_list.h"
#include "app/skip_dlg.h"
#include "app/window_texts.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "subtitles/formats/writer_rules.h"
#include "tests/app/window_test_support.h"

namespace vorlane {

namespace {

// Each language of the box and the "Input files" label in it, as its
// catalogue has it.
struct Shown {
  const char* code;
  const char* input_files;
};
const Shown kLanguages[] = {
    {"pl", "Pliki wejściowe"},  {"en", "Input files"},         {"de", "Eingabedateien"},
    {"it", "File in ingresso"}, {"es", "Archivos de entrada"}, {"fr", "Fichiers source"},
    {"cz", "Vstupní soubory"},  {"id", "Berkas masukan"},      {"hu", "Bemeneti fájlok"},
    {"sv", "Indatafiler"},      {"ro", "Fișiere de intrare"},  {"nl", "Invoerbestanden"},
};

// A text of the main window and the design text it shows translated.
struct Control {
  const char* name;
  std::function<QString(const TForm1&)> shown;
  const char* design;
};

std::vector<Control> MainWindowTexts() {
  std::vector<Control> texts = {
      {"caption", [](const TForm1& f) { return f.windowTitle(); }, "Vorlane"},
      {"Label1", [](const TForm1& f) { return f.Label1->text(); }, "Input files"},
      {"Button2", [](const TForm1& f) { return f.Button2->text(); }, "Add files"},
      {"ParamFiles tooltip", [](const TForm1& f) { return f.ParamFiles->toolTip(); },
       "Drag & drop your files here"},
      {"Removeselected1", [](const TForm1& f) { return f.Removeselected1->text(); },
       "Remove selected"},
      {"Label2", [](const TForm1& f) { return f.Label2->text(); }, "Output format"},
      {"CheckBox1", [](const TForm1& f) { return f.CheckBox1->text(); }, "Backup source files"},
      {"CheckBox1 tooltip", [](const TForm1& f) { return f.CheckBox1->toolTip(); },
       "Backup files with be stored in BAK directory"},
      {"CheckBox2", [](const TForm1& f) { return f.CheckBox2->text(); }, "Force proper extensions"},
      {"CheckBox3", [](const TForm1& f) { return f.CheckBox3->text(); }, "Exit when done"},
      {"Label3", [](const TForm1& f) { return f.Label3->text(); }, "Interface language"},
      {"Button3", [](const TForm1& f) { return f.Button3->text(); }, "Help"},
      {"Button4", [](const TForm1& f) { return f.Button4->text(); }, "About"},
      {"Button1", [](const TForm1& f) { return f.Button1->text(); }, "Start"},
  };
  static std::vector<QByteArray> entries;
  entries.clear();
  for (const QString& entry : LanguageEntries()) entries.push_back(entry.toUtf8());
  for (int i = 0; i < 12; ++i) {
    texts.push_back({"ComboBox2 entry", [i](const TForm1& f) { return f.ComboBox2->itemText(i); },
                     entries[static_cast<std::size_t>(i)].constData()});
  }
  return texts;
}

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

void Choose(TForm1& form, int index) {
  form.ComboBox2->setCurrentIndex(index);  // as the user picks it
  emit form.ComboBox2->activated(index);
}

// A label's text must end before the control to its right begins.
bool EndsBefore(const QLabel& label, int right_limit) {
  return label.x() + label.fontMetrics().horizontalAdvance(label.text()) <= right_limit;
}

bool TextFits(const QAbstractButton& button) {
  return button.sizeHint().width() <= button.width() ||
         button.fontMetrics().horizontalAdvance(button.text()) + 8 <= button.width();
}

}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir config_dir_;
  QString config_;

  QByteArray Config() const {
    QFile file(config_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private slots:
  void initTestCase() {
    config_ = config_dir_.filePath("config.ini");
    SetConfigFilePath(config_.toStdString());
    SetCatalogueFolder(VORLANE_CATALOGUES);
  }

  void init() {
    CancelModalActions();
    QFile::remove(config_);
    ProgramSettings = TProgramSettings{};
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    UseInterfaceLanguage("");
  }

  void EveryCatalogueTranslatesEveryWindowText() {
    for (const Shown& language : kLanguages) {
      UseInterfaceLanguage(language.code);
      for (const char* text : WindowTexts()) {
        QVERIFY2(InCatalogue(text), qPrintable(QString("%1: %2").arg(language.code, text)));
      }
    }
  }

  // The list of texts is the list the windows show: nothing missing from
  // the catalogues, nothing in them that no window shows.
  void WindowTextsAreTheTextsOfTheWindows() {
    std::set<std::string> shown = {"Information", "Warning", "Error", "OK"};  // message boxes
    TForm1 form({});
    TSkipDlg skipped;
    TAboutDlg about;
    ProgramSettings.ClassicReading = true;  // the About line of the classic reading
    TAboutDlg classic_about;
    ProgramSettings.ClassicReading = false;
    for (const QWidget* window :
         std::initializer_list<const QWidget*>{&form, &skipped, &about, &classic_about}) {
      for (const std::string& text : RememberedTexts(*window)) shown.insert(text);
    }
    const std::set<std::string> listed(WindowTexts().begin(), WindowTexts().end());
    QCOMPARE(listed.size(), WindowTexts().size());  // no text listed twice
    for (const std::string& text : shown) {
      QVERIFY2(listed.count(text), ("shown but not listed: " + text).c_str());
    }
    for (const std::string& text : listed) {
      QVERIFY2(shown.count(text), ("listed but not shown: " + text).c_str());
    }
  }

  void SwitchingAmongAllLanguagesAndBack() {
    TForm1 form({});
    form.ComboBox1->setCurrentIndex(form.ComboBox1->findText("SubRipper"));
    const QStringList formats = Items(*form.ComboBox1);
    QCOMPARE(form.windowTitle(), "Vorlane 1.2");
    const std::vector<Control> controls = MainWindowTexts();

    std::vector<int> order;
    for (int i = 0; i < 12; ++i) order.push_back(i);
    order.push_back(kDesignLanguageIndex);  // and back to English
    for (int index : order) {
      const Shown& language = kLanguages[index];
      Choose(form, index);
      QCOMPARE(CurrentInterfaceLanguage(), std::string(language.code));
      QCOMPARE(form.ComboBox2->currentIndex(), index);
      QVERIFY(form.ComboBox2->currentText().startsWith(QLatin1String(language.code)));
      QCOMPARE(form.Label1->text(), QString::fromUtf8(language.input_files));
      for (const Control& control : controls) {
        QVERIFY2(
            control.shown(form) == Translated(control.design),
            qPrintable(
                QString("%1 in %2: %3").arg(control.name, language.code, control.shown(form))));
      }
      QCOMPARE(form.windowTitle(), "Vorlane");  // the version is not added again
      QCOMPARE(Items(*form.ComboBox1), formats);
      QCOMPARE(form.ComboBox1->currentText(), "SubRipper");
    }
    // English again: the design texts, apart from the language names,
    // which the catalogues spell with their accents.
    QCOMPARE(form.CheckBox1->toolTip(), "Backup files with be stored in BAK directory");
    QCOMPARE(form.Button2->text(), "Add files");
    QCOMPARE(form.ComboBox2->itemText(4), "es - Español");
  }

  void ChosenLanguageIsSavedAndComesBack() {
    {
      TForm1 form({});
      Choose(form, 0);
      form.close();
    }
    QVERIFY(Config().contains("[Interface]\nLanguage=pl\n"));
    UseInterfaceLanguage("");
    TForm1 again({});
    QCOMPARE(again.ComboBox2->currentText(), "pl - Polski");
    QCOMPARE(again.Label1->text(), "Pliki wejściowe");
    QCOMPARE(again.windowTitle(), "Vorlane 1.2");
  }

  // No saved language and LANG naming Polish with its country: Polish
  // texts, but no entry of the box matches "pl_PL"; "pl" is saved, and the
  // next start finds its entry.
  void FirstStartFollowsLANG() {
    qputenv("LANG", "pl_PL.UTF-8");
    UseInterfaceLanguage("");
    {
      TForm1 form({});
      QCOMPARE(form.Label1->text(), "Pliki wejściowe");
      QCOMPARE(form.ComboBox2->currentText(), "en - English");
      form.close();
    }
    QVERIFY(Config().contains("Language=pl\n"));
    qputenv("LANG", "C.UTF-8");
    UseInterfaceLanguage("");
    TForm1 again({});
    QCOMPARE(again.ComboBox2->currentText(), "pl - Polski");
  }

  void SavedLanguageWithoutCatalogueShowsEnglish() {
    QFile file(config_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Interface]\nLanguage=ja\n");
    file.close();
    TForm1 form({});
    QCOMPARE(CurrentInterfaceLanguage(), std::string("ja"));
    QCOMPARE(form.ComboBox2->currentText(), "en - English");
    for (const Control& control : MainWindowTexts()) {
      const QString expected = QString::fromUtf8(control.design) +
                               (control.name == std::string("caption") ? " 1.2" : "");
      QCOMPARE(control.shown(form), expected);
    }
  }

  // The skipped-files and About windows follow the language current when
  // they are created; the frame-rate prompt stays English.
  void DialogsTakeTheLanguageOfTheirCreation() {
    UseInterfaceLanguage("de");
    {
      TSkipDlg skipped;
      QCOMPARE(skipped.windowTitle(), "Übersprungene Dateien");
      QCOMPARE(skipped.Label1->text(),
               "Diese Dateien werden nicht unterstützt und wurden nicht verarbeitet");
      QVERIFY(EndsBefore(*skipped.Label1, skipped.width()));
      TAboutDlg about;
      QCOMPARE(about.windowTitle(), "Über");
      QCOMPARE(about.Label3->text(), "Untertitelkonverter, Version 1.2");
      QCOMPARE(about.Label6->toolTip(), "Klicken, um die Homepage zu besuchen");
      QCOMPARE(about.Label6->text(), QString::fromLatin1(kHomepage));
      TFPSDlg prompt("/subs/film.sub");
      QCOMPARE(prompt.windowTitle(), "Provide FPS value for subtitles");
      QCOMPARE(prompt.Label1->text(), "Subtitles file: ");
      QCOMPARE(prompt.Label2->toolTip(), "Frames Per Second");
    }
    UseInterfaceLanguage("fr");
    TAboutDlg about;
    QCOMPARE(about.windowTitle(), "À propos");
  }

  // A box's title and button come from the catalogue; its text never does.
  void MessageBoxTitleAndButtonFollowTheLanguage() {
    TForm1 form({});
    Choose(form, 4);  // es
    QString title, button, text;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      title = box->windowTitle();
      text = box->text();
      button = box->button(QMessageBox::Ok)->text();
      box->accept();
    });
    form.Button1Click();  // the list is empty
    QCOMPARE(title, "Advertencia");
    QCOMPARE(button, "Aceptar");
    QCOMPARE(text, "Please choose files!");
  }

  void TranslatedTextsFitTheirControls_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 12; ++i) QTest::newRow(kLanguages[i].code) << i;
  }
  void TranslatedTextsFitTheirControls() {
    QFETCH(int, index);
    TForm1 form({});
    Choose(form, index);
    form.resize(kMinClientWidth, kMinClientHeight);
    QVERIFY(EndsBefore(*form.Label1, form.Button2->x() - 4));
    QVERIFY(EndsBefore(*form.Label3, form.ComboBox2->x() - 4));
    for (const QAbstractButton* button : std::initializer_list<const QAbstractButton*>{
             form.Button1, form.Button2, form.Button3, form.Button4, form.CheckBox1, form.CheckBox2,
             form.CheckBox3}) {
      QVERIFY2(TextFits(*button), qPrintable(button->text()));
    }
    // The language names leave room for the box's arrow.
    for (const QString& entry : Items(*form.ComboBox2)) {
      QVERIFY2(
          form.ComboBox2->fontMetrics().horizontalAdvance(entry) + 24 <= form.ComboBox2->width(),
          qPrintable(entry));
    }
    TAboutDlg about;
    QVERIFY(EndsBefore(*about.Label3, about.width() - 8));
    QVERIFY(about.Label4->heightForWidth(about.Label4->width()) <= about.Label4->height());
    TSkipDlg skipped;
    QVERIFY(EndsBefore(*skipped.Label1, skipped.width()));
  }
};

}  // namespace vorlane

QTEST_MAIN(vorlane::LanguageTest)
#include "tst_language.moc"
