#include "app/window_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "settings/language.h"

namespace vorlane {

namespace {

// Carries the design texts of a translated window; its presence is what
// marks the window as translated.
class TranslatedMarker : public QObject {
 public:
  enum class Property { kWindowTitle, kText, kToolTip, kItem };
  struct Remembered {
    QPointer<QObject> object;
    Property property;
    int item;  // the entry of a drop-down list
    QByteArray design;
  };

  explicit TranslatedMarker(QWidget& window) : QObject(&window) {
    setObjectName(QLatin1String(kTranslatedMarker));
  }

  void Remember(QObject* object, Property property, const QString& design, int item = 0) {
    if (!design.isEmpty()) texts.push_back({object, property, item, design.toUtf8()});
  }

  std::vector<Remembered> texts;
};

TranslatedMarker* MarkerOf(const QWidget& window) {
  return dynamic_cast<TranslatedMarker*>(
      window.findChild<QObject*>(QLatin1String(kTranslatedMarker), Qt::FindDirectChildrenOnly));
}

void RememberTextsOf(TranslatedMarker& marker, QObject* object) {
  using Property = TranslatedMarker::Property;
  if (auto* action = qobject_cast<QAction*>(object)) {
    marker.Remember(action, Property::kText, action->text());
    return;
  }
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return;
  if (widget->isWindow()) marker.Remember(widget, Property::kWindowTitle, widget->windowTitle());
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    marker.Remember(label, Property::kText, label->text());
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    marker.Remember(button, Property::kText, button->text());
  } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
    for (int i = 0; i < box->count(); ++i)
      marker.Remember(box, Property::kItem, box->itemText(i), i);
  }
  marker.Remember(widget, Property::kToolTip, widget->toolTip());
}

void Show(const TranslatedMarker::Remembered& text) {
  using Property = TranslatedMarker::Property;
  QObject* object = text.object.data();
  if (object == nullptr) return;  // deleted since the window was translated
  const QString translated = Translated(text.design.constData());
  switch (text.property) {
    case Property::kWindowTitle:
      static_cast<QWidget*>(object)->setWindowTitle(translated);
      break;
    case Property::kToolTip:
      static_cast<QWidget*>(object)->setToolTip(translated);
      break;
    case Property::kItem:
      if (auto* box = qobject_cast<QComboBox*>(object); box && text.item < box->count()) {
        box->setItemText(text.item, translated);
      }
      break;
    case Property::kText:
      if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(translated);
      } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(translated);
        if (!label->wordWrap()) label->adjustSize();
      } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(translated);
      }
      break;
  }
}

}  // namespace

QString Translated(const char* design_text) {
  return QString::fromUtf8(Gettext(design_text));
}

std::string CurrentInterfaceLanguage() {
  return CurrentLanguage();
}

void UseInterfaceLanguage(const std::string& code) {
  UseLanguage(code);
}

const QStringList& LanguageEntries() {
  static const QStringList entries = {
      QStringLiteral("pl - Polski"),  QStringLiteral("en - English"),
      QStringLiteral("de - Deutsch"), QStringLiteral("it - Italiano"),
      QStringLiteral("es - Espanol"), QStringLiteral("fr - Francais"),
      QStringLiteral("cz - Cestina"), QStringLiteral("id - Indonesia"),
      QStringLiteral("hu - Magyar"),  QStringLiteral("sv - Svenska"),
      QStringLiteral("ro - Roman"),   QStringLiteral("nl - Nederlandse"),
  };
  return entries;
}

const std::vector<const char*>& WindowTexts() {
  static const std::vector<const char*> texts = {
      // The main window.
      "Vorlane",
      "Input files",
      "Add files",
      "Drag & drop your files here",
      "Remove selected",
      "Output format",
      "Backup source files",
      "Backup files with be stored in BAK directory",
      "Force proper extensions",
      "Exit when done",
      "Interface language",
      "pl - Polski",
      "en - English",
      "de - Deutsch",
      "it - Italiano",
      "es - Espanol",
      "fr - Francais",
      "cz - Cestina",
      "id - Indonesia",
      "hu - Magyar",
      "sv - Svenska",
      "ro - Roman",
      "nl - Nederlandse",
      "Help",
      "About",
      "Start",
      // The skipped-files window.
      "Skipped files",
      "These files are not supported and were not processed",
      // The About window (its caption and name are "About" and "Vorlane").
      "Subtitle converter, version 1.2",
      "Reads 21 subtitle formats and writes 54, many files at a time.",
      "Reads 11 subtitle formats and writes 50, many files at a time.",  // classic reading
      "Click to visit homepage",
      // Message boxes: their titles and button.
      "Information",
      "Warning",
      "Error",
      "OK",
  };
  return texts;
}

void TranslateComponent(QWidget& window) {
  auto* marker = new TranslatedMarker(window);
  RememberTextsOf(*marker, &window);
  for (QObject* child : window.findChildren<QObject*>()) {
    if (child != marker) RememberTextsOf(*marker, child);
  }
  for (const TranslatedMarker::Remembered& text : marker->texts) Show(text);
}

void RetranslateComponent(QWidget& window) {
  const TranslatedMarker* marker = MarkerOf(window);
  if (marker == nullptr) return;
  for (const TranslatedMarker::Remembered& text : marker->texts) Show(text);
}

void TranslateWindow(QWidget& window) {
  if (MarkerOf(window) != nullptr) {
    RetranslateComponent(window);
  } else {
    TranslateComponent(window);
  }
}

std::vector<std::string> RememberedTexts(const QWidget& window) {
  std::vector<std::string> texts;
  if (const TranslatedMarker* marker = MarkerOf(window)) {
    for (const TranslatedMarker::Remembered& text : marker->texts) {
      texts.push_back(text.design.toStdString());
    }
  }
  return texts;
}

}  // namespace vorlane
