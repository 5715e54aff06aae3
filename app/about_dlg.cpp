#include "app/about_dlg.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "app/desktop.h"
#include "app/look.h"
#include "app/window_texts.h"
#include "settings/settings.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

void SetTextColour(QLabel& label, const QColor& colour) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, colour);
  label.setPalette(palette);
}

}  // namespace

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutDlg"));
  PrepareDialog(*this);
  setFont(DesignFont(13));
  setFixedSize(377, 135);
  setWindowTitle(QStringLiteral("About"));

  Label1 = new QLabel(QStringLiteral("Vorlane"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(DesignFont(13, true));
  Label1->move(8, 8);

  Shape1 = new QWidget(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(0, 32, 377, 105);
  FillWith(*Shape1, Qt::white);

  Label3 = new QLabel(QStringLiteral("Subtitle converter, version 1.2"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->move(64, 40);

  // With the classic reading on, the program reads and writes what it
  // always did.
  Label4 = new QLabel(
      ProgramSettings.ClassicReading
          ? QStringLiteral("Reads 11 subtitle formats and writes 50, many files at a time.")
          : QStringLiteral("Reads 21 subtitle formats and writes 54, many files at a time."),
      this);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setWordWrap(true);
  Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label4->setGeometry(64, 59, 298, 32);

  Label6 = new QLabel(this);
  Label6->setObjectName(QStringLiteral("Label6"));
  Label6->setToolTip(QStringLiteral("Click to visit homepage"));
  Label6->move(64, 107);
  Label6->setMouseTracking(true);
  Label6->installEventFilter(this);
  SetTextColour(*Label6, Qt::black);

  FormCreate();
}

void TAboutDlg::FormCreate() {
  TranslateWindow(*this);
  // An address, the same in every language: set after the translation.
  Label6->setText(QString::fromLatin1(kHomepage));
  Label6->adjustSize();
}

bool TAboutDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label6) {
    switch (event->type()) {
      case QEvent::MouseMove:
      case QEvent::Enter:
        Label6MouseMove();
        break;
      case QEvent::Leave:
        Label6MouseLeave();
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            Label6->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
          Label6Click();
          return true;
        }
        break;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutDlg::Label6MouseMove() {
  SetTextColour(*Label6, QColor(255, 0, 0));
  Label6->setCursor(Qt::PointingHandCursor);
}

void TAboutDlg::Label6MouseLeave() {
  SetTextColour(*Label6, Qt::black);
  Label6->unsetCursor();
}

void TAboutDlg::Label6Click() {
  OpenWithDesktop(QUrl(Label6->text()));
}

void ShowAbout() {
  TAboutDlg dialog;
  CentreOnScreen(dialog);
  dialog.exec();
}

}  // namespace vorlane
