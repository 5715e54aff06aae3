#include "app/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/desktop.h"
#include "app/help_document.h"
#include "app/input_list.h"
#include "app/look.h"
#include "app/qt_front_end.h"
#include "app/window_texts.h"
#include "batch/input_gathering.h"
#include "settings/settings.h"
#include "subtitles/encoding.h"

namespace vorlane {

namespace {

constexpr char kVersion[] = "1.2";
// The format box's entry that stands when neither the command line nor the
// settings name a format: AdvancedSSA, second in the sorted box.
constexpr int kFallbackFormatIndex = 1;

// Design client size; FormResize places everything from the actual size.
constexpr int kDesignClientWidth = 281;
constexpr int kDesignClientHeight = 409;

QString DecodePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string EncodePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

bool HasLocalFiles(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return true;
  }
  return false;
}

}  // namespace

TForm1::TForm1(const std::vector<std::string>& arguments, QWidget* parent) : QWidget(parent) {
  CreateControls();
  FormCreate(arguments);
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
  setObjectName(QStringLiteral("Form1"));
  setFont(DesignFont(11));
  setMinimumSize(kMinClientWidth, kMinClientHeight);
  setWindowTitle(QStringLiteral("Vorlane"));

  auto label = [](QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(DesignFont(13));
    l->move(x, y);
    l->adjustSize();
    return l;
  };
  auto button = [](QWidget* parent, const char* name, const QRect& where) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(DesignFont(12));
    b->setAutoDefault(false);
    b->setGeometry(where);
    return b;
  };
  auto check_box = [](QWidget* parent, const char* name, const QRect& where) {
    auto* c = new QCheckBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setFont(DesignFont(13));
    c->setChecked(true);
    c->setGeometry(where);
    return c;
  };

  Label1 = label(this, "Label1", "Input files", 8, 8);
  Button2 = button(this, "Button2", QRect(160, 4, 115, 21));
  Button2->setText(QStringLiteral("Add files"));
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);

  ParamFiles = new TParamFiles(this);
  ParamFiles->setObjectName(QStringLiteral("ParamFiles"));
  ParamFiles->setGeometry(8, 24, 265, 169);
  ParamFiles->installEventFilter(this);
  ParamFiles->setContextMenuPolicy(Qt::CustomContextMenu);
  ParamFiles->setToolTip(QStringLiteral("Drag & drop your files here"));

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Removeselected1 = PopupMenu1->addAction(QStringLiteral("Remove selected"));
  Removeselected1->setObjectName(QStringLiteral("Removeselected1"));
  // Shown in the menu; the key itself is handled by the list (Del there).
  Removeselected1->setShortcut(QKeySequence(Qt::Key_Delete));
  Removeselected1->setShortcutContext(Qt::WidgetShortcut);
  Removeselected1->setShortcutVisibleInContextMenu(true);
  connect(Removeselected1, &QAction::triggered, this, &TForm1::Removeselected1Click);
  connect(ParamFiles, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(ParamFiles->viewport()->mapToGlobal(at)); });

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 200, 281, kPanelHeight);

  Label2 = label(Panel1, "Label2", "Output format", 8, 0);
  ComboBox1 = new QComboBox(Panel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setFont(DesignFont(13));
  ComboBox1->setMaxVisibleItems(20);
  ComboBox1->setGeometry(8, 16, 265, 21);

  ProgressBar1 = new QProgressBar(Panel1);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setGeometry(8, 48, 265, 21);

  CheckBox1 = check_box(Panel1, "CheckBox1", QRect(8, 80, 265, 17));
  CheckBox2 = check_box(Panel1, "CheckBox2", QRect(8, 104, 257, 17));
  CheckBox3 = check_box(Panel1, "CheckBox3", QRect(8, 128, 265, 17));
  CheckBox1->setText(QStringLiteral("Backup source files"));
  CheckBox1->setToolTip(QStringLiteral("Backup files with be stored in BAK directory"));
  CheckBox2->setText(QStringLiteral("Force proper extensions"));
  CheckBox3->setText(QStringLiteral("Exit when done"));

  Label3 = label(Panel1, "Label3", "Interface language", 8, 152);
  ComboBox2 = new QComboBox(Panel1);
  ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
  ComboBox2->setFont(FixedFont(12));
  ComboBox2->setGeometry(136, 150, 137, 23);
  ComboBox2->addItems(LanguageEntries());
  ComboBox2->setCurrentIndex(kDesignLanguageIndex);
  // Only a choice of the user's counts, not a selection made by the program.
  connect(ComboBox2, &QComboBox::activated, this, &TForm1::ComboBox2Change);

  Button3 = button(Panel1, "Button3", QRect(8, 184, 81, 21));
  Button4 = button(Panel1, "Button4", QRect(96, 184, 89, 21));
  Button1 = button(Panel1, "Button1", QRect(192, 184, 81, 21));
  Button3->setText(QStringLiteral("Help"));
  Button4->setText(QStringLiteral("About"));
  Button1->setText(QStringLiteral("Start"));
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

  resize(kDesignClientWidth, kDesignClientHeight);
}

void TForm1::FormCreate(const std::vector<std::string>& arguments) {
  LoadSettings();

  if (!ProgramSettings.Language.empty()) UseInterfaceLanguage(ProgramSettings.Language);
  TranslateWindow(*this);

  ComboBox1->clear();
  // With classic reading the box offers the classic formats alone, and a
  // format named on the command line is looked up among them.
  for (TSubtitleFormat format : OutputFormatsInBoxOrder(ProgramSettings.ClassicReading)) {
    ComboBox1->addItem(QString::fromLatin1(FormatOf(format).name.data(),
                                           static_cast<int>(FormatOf(format).name.size())),
                       static_cast<int>(format));
  }
  ComboBox1->setCurrentIndex(kFallbackFormatIndex);

  // Sizes below the minimum (0 on the first start) give the minimum; a
  // size larger than the screen is brought back onto it.
  QSize size(std::max<int>(ProgramSettings.Width, kMinClientWidth),
             std::max<int>(ProgramSettings.Height, kMinClientHeight));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize().expandedTo(minimumSize()));
  }
  resize(size);

  open_dialog_folder_ = DecodePath(ProgramSettings.Dir);
  CheckBox1->setChecked(ProgramSettings.Backup);
  CheckBox2->setChecked(ProgramSettings.Extensions);
  CheckBox3->setChecked(ProgramSettings.ExitWhenDone);

  const QString language = QString::fromStdString(CurrentInterfaceLanguage());
  for (int i = 0; i < ComboBox2->count(); ++i) {
    if (ComboBox2->itemText(i).left(2) == language) {
      ComboBox2->setCurrentIndex(i);
      break;
    }
  }

  std::size_t first_path = 0;
  const auto named = [this](const std::string& name) {
    return ComboBox1->findText(QString::fromStdString(name), Qt::MatchFixedString);
  };
  if (!arguments.empty() && named(arguments[0]) >= 0) {
    ComboBox1->setCurrentIndex(named(arguments[0]));
    auto_start_ = true;
    first_path = 1;
  } else {
    if (named(ProgramSettings.FormatName) >= 0) {
      ComboBox1->setCurrentIndex(named(ProgramSettings.FormatName));
    }
    auto_start_ = false;
  }
  for (std::size_t i = first_path; i < arguments.size(); ++i) QueryFile(arguments[i]);

  setAcceptDrops(true);
  setWindowTitle(windowTitle() + QLatin1Char(' ') + QLatin1String(kVersion));
}

TSubtitleFormat TForm1::SelectedFormat() const {
  return static_cast<TSubtitleFormat>(ComboBox1->currentData().toInt());
}

void TForm1::QueryFile(const std::string& path) {
  std::vector<std::string> found;
  vorlane::QueryFile(path, found, ProgramSettings.ClassicReading);
  for (const std::string& file : found) ParamFiles->AddPath(file);
}

void TForm1::FilesDropped(const QList<QUrl>& urls) {
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) QueryFile(EncodePath(url.toLocalFile()));
  }
}

void TForm1::Button1Click() {
  if (ParamFiles->count() == 0) {
    ShowMessage(this, MessageKind::kWarning, QStringLiteral("Please choose files!"));
    return;
  }
  // A further run needs a new start of the program.
  Button1->setEnabled(false);
  ConvertAll(SelectedFormat());
  if (close_requested_) {
    close();
    return;
  }
  ShowMessage(this, MessageKind::kInformation, QStringLiteral("Done!"));
  ParamFiles->clear();
  if (CheckBox3->isChecked()) close();
}

void TForm1::ConvertAll(TSubtitleFormat format) {
  QtFrontEnd front_end(*this);
  running_ = true;
  BatchOptions options;
  options.classic_reading = ProgramSettings.ClassicReading;
  // The character sets of config.ini; a name iconv does not know is not
  // used (the file is then read and written as by default).
  const std::string& in = ProgramSettings.InputEncoding;
  if (!in.empty() && in != "auto" && IsKnownCharset(in)) options.input_encoding = in;
  const std::string& out = ProgramSettings.OutputEncoding;
  if (out == "utf-8") {
    options.output_encoding = OutputEncoding::kUtf8;
  } else if (out == "utf-8-bom") {
    options.output_encoding = OutputEncoding::kUtf8Bom;
  } else if (out != "source" && !out.empty() && IsKnownCharset(out)) {
    options.output_encoding = OutputEncoding::kNamed;
    options.output_charset = out;
  }
  vorlane::ConvertAll(ParamFiles->count(), format, front_end, options);
  running_ = false;
  if (!close_requested_ && !front_end.abandoned().empty()) {
    ShowMessage(this, MessageKind::kError, AbandonedFilesMessage(front_end.abandoned()));
  }
}

void TForm1::Button2Click() {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("OpenDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // No filter: every file is shown and may be chosen.
  const QString folder =
      chosen_file_.isEmpty() ? open_dialog_folder_ : QFileInfo(chosen_file_).absolutePath();
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return;
  for (const QString& file : files) ParamFiles->AddPath(EncodePath(file));
  chosen_file_ = files.first();
}

void TForm1::Button3Click() {
  OpenHelp();
}

void TForm1::Button4Click() {
  ShowAbout();
}

void TForm1::Removeselected1Click() {
  ParamFiles->RemoveSelected();
}

bool TForm1::ParamFilesKeyDown(int key) {
  if (key != Qt::Key_Delete) return false;
  Removeselected1Click();
  return true;
}

void TForm1::ComboBox2Change(int index) {
  const int remembered = index;
  UseInterfaceLanguage(ComboBox2->itemText(index).left(2).toStdString());
  // Back to the translated design caption: the version is added only once,
  // at creation.
  TranslateWindow(*this);
  ComboBox2->setCurrentIndex(remembered);
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QWidget::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Where the desktop never activates the window (no window manager, focus
  // stealing prevention), its first showing counts as the first activation.
  QTimer::singleShot(0, this, &TForm1::FormActivate);
}

void TForm1::FormActivate() {
  if (tag_ == 1) return;
  tag_ = 1;
  if (auto_start_ && ParamFiles->count() > 0) {
    // Pressed as a click would press it, once the activation is over.
    QTimer::singleShot(0, Button1, &QPushButton::click);
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  const int cw = width();
  const int ch = height();
  Panel1->setGeometry(0, ch - Panel1->height(), cw, Panel1->height());
  ComboBox1->resize(cw - 16, ComboBox1->height());
  ProgressBar1->resize(cw - 16, ProgressBar1->height());
  Button1->move(cw - Button1->width() - 8, Button1->y());
  Button4->move(Button1->x() - Button4->width() - 8, Button4->y());
  Button3->move(Button4->x() - Button3->width() - 8, Button3->y());
  Button2->move(cw - Button2->width() - 8, Button2->y());
  ParamFiles->resize(cw - 16, std::max(0, Panel1->y() - ParamFiles->y() - 8));
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The run ends after the file in progress; the window closes then.
    close_requested_ = true;
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TForm1::FormClose() {
  ProgramSettings.Width = width();
  ProgramSettings.Height = height();
  ProgramSettings.FormatName = ComboBox1->currentText().toStdString();
  QString folder;
  if (!chosen_file_.isEmpty()) {
    folder = QFileInfo(chosen_file_).absolutePath();
  } else if (!open_dialog_folder_.isEmpty()) {
    folder = open_dialog_folder_;
  } else {
    folder = QDir::currentPath();
  }
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  ProgramSettings.Dir = EncodePath(folder);
  ProgramSettings.Backup = CheckBox1->isChecked();
  ProgramSettings.Extensions = CheckBox2->isChecked();
  ProgramSettings.ExitWhenDone = CheckBox3->isChecked();
  ProgramSettings.Language = LanguageCode(CurrentInterfaceLanguage());
  SaveSettings();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (HasLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (HasLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!HasLocalFiles(event->mimeData())) return;
  event->acceptProposedAction();
  FilesDropped(event->mimeData()->urls());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ParamFiles && event->type() == QEvent::KeyPress &&
      ParamFilesKeyDown(static_cast<QKeyEvent*>(event)->key())) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vorlane
