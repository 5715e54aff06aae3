#include "app/fps_dlg.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include "app/fps_field.h"
#include "app/look.h"
#include "subtitles/decimal.h"

namespace vorlane {

namespace {

// One optional digit, one required digit, ".", three optional digits;
// blanks show as "0".
constexpr char kMask[] = "09.000;0";
constexpr char kInitialText[] = "25.   ";
constexpr int kPointPosition = 2;

bool IsDecimalPointKey(const QKeyEvent& event) {
  return event.text() == QLatin1String(",") || event.text() == QLatin1String(".");
}

}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent) {
  setInputMask(QString::fromLatin1(kMask));
  setMaxLength(6);
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
  MaskEdit1KeyPress(event);
}

void TMaskEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason) {
    selectAll();
  }
}

void TMaskEdit::MaskEdit1KeyPress(QKeyEvent* event) {
  if (!IsDecimalPointKey(*event)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (hasSelectedText()) del();
  if (cursorPosition() <= kPointPosition) {
    // The digits typed so far are the whole number: "5." means 5, which
    // the mask would otherwise leave as "50.".
    // Blanks and zeros read alike, and only a zero is sure to be taken in
    // an optional digit position.
    QString typed =
        QString::fromStdString(TypeDecimalPoint(displayText().toStdString(), cursorPosition()));
    typed.replace(QLatin1Char(' '), QLatin1Char('0'));
    setText(typed);
    setCursorPosition(kPointPosition + 1);
    event->accept();
    return;
  }
  // Past the point already: the key does what "." does in the mask.
  QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."),
                  event->isAutoRepeat(), static_cast<quint16>(event->count()));
  QLineEdit::keyPressEvent(&point);
  event->setAccepted(point.isAccepted());
}

TFPSDlg::TFPSDlg(const std::string& subtitle_path, QWidget* parent)
    : QDialog(parent), path_(subtitle_path) {
  setObjectName(QStringLiteral("FPSDlg"));
  PrepareDialog(*this);
  // Always in English: this prompt is not translated.
  setWindowTitle(QStringLiteral("Provide FPS value for subtitles"));
  setFont(DesignFont(13));
  setFixedSize(314, 70);
  FillWith(*this, Qt::white);

  Shape1 = new QWidget(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(0, 0, 314, 33);
  FillWith(*Shape1, QApplication::palette().color(QPalette::Button));

  Label1 = new QLabel(QStringLiteral("Subtitles file: "), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(DesignFont(13, true));
  Label1->move(8, 8);
  Label1->adjustSize();

  Label3 = new QLabel(QStringLiteral("file.ext"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->move(std::max(96, Label1->geometry().right() + 1), 8);

  Label2 = new QLabel(QStringLiteral("FPS"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setToolTip(QStringLiteral("Frames Per Second"));
  Label2->adjustSize();
  Label2->move(56, 40 + (24 - Label2->height()) / 2);

  MaskEdit1 = new TMaskEdit(this);
  MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
  MaskEdit1->setGeometry(88, 40, 119, 24);
  MaskEdit1->setText(QString::fromLatin1(kInitialText));

  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(QStringLiteral("OK"));
  SpeedButton1->setAutoRaise(true);
  SpeedButton1->setGeometry(208, 40, 57, 24);
  connect(SpeedButton1, &QToolButton::clicked, this, &TFPSDlg::SpeedButton1Click);

  Shape1->lower();
  MaskEdit1->setFocus();
}

void TFPSDlg::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TFPSDlg::FormShow() {
  const QString full = QFile::decodeName(QByteArray::fromStdString(path_));
  const QString name = full.mid(full.lastIndexOf(QLatin1Char('/')) + 1);
  // The whole name when it fits; a long one is cut in the middle, and the
  // tooltip always holds the full path.
  const int room = width() - Label3->x() - 8;
  Label3->setText(Label3->fontMetrics().elidedText(name, Qt::ElideMiddle, room));
  Label3->setToolTip(full);
  Label3->adjustSize();
  MaskEdit1->selectAll();
}

void TFPSDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    SpeedButton1Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFPSDlg::SpeedButton1Click() {
  accept();
}

void TFPSDlg::done(int result) {
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  QDialog::done(result);
}

void TFPSDlg::FormClose() {
  // Blanks are shown as "0" and count as "0": the text shown is the value.
  frame_rate_ = FrameRateFromField(MaskEdit1->displayText().toStdString());
  UseDotDecimalSeparator();
}

double AskFrameRate(const std::string& path) {
  TFPSDlg dialog(path);
  CentreOnScreen(dialog);
  dialog.exec();
  return dialog.FrameRate();
}

}  // namespace vorlane
