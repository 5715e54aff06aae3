#include "app/skip_dlg.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QResizeEvent>

#include "app/look.h"
#include "app/window_texts.h"

namespace vorlane {

namespace {
constexpr int kShapeTop = 32;
constexpr int kRowHeight = 16;
}  // namespace

TSkipDlg::TSkipDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SkipDlg"));
  PrepareDialog(*this);
  setFont(DesignFont(13));
  setWindowTitle(QStringLiteral("Skipped files"));

  Label1 = new QLabel(QStringLiteral("These files are not supported and were not processed"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(DesignFont(13, true));
  Label1->move(8, 8);

  Shape1 = new QWidget(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(0, kShapeTop, 377, 121);
  FillWith(*Shape1, Qt::white);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(8, 40, 361, 105);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  FormCreate();
}

void TSkipDlg::FormCreate() {
  TranslateWindow(*this);
  // Wide enough for the heading, never narrower than designed.
  resize(std::max(417, Label1->width() + 16), 203);
  setMinimumSize(std::min(width(), 200), 100);
}

void TSkipDlg::SetPaths(const std::vector<std::string>& paths) {
  ListBox1->clear();
  for (const std::string& path : paths) {
    auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(path)));
    item->setSizeHint(QSize(0, kRowHeight));
    ListBox1->addItem(item);
  }
}

void TSkipDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TSkipDlg::FormResize() {
  // The white band fills the window below the heading; the list sits in it
  // with 8 pixels of white around.
  Shape1->setGeometry(0, kShapeTop, width(), std::max(0, height() - kShapeTop));
  ListBox1->setGeometry(8, kShapeTop + 8, std::max(0, Shape1->width() - 16),
                        std::max(0, Shape1->height() - 16));
}

void ShowSkippedFiles(const std::vector<std::string>& paths) {
  TSkipDlg dialog;
  dialog.SetPaths(paths);
  CentreOnScreen(dialog);
  dialog.exec();
}

}  // namespace vorlane
