#include "app/input_list.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include "app/look.h"
#include "app/shorten_path.h"

namespace vorlane {

namespace {

constexpr int kRowHeight = 20;
constexpr int kTextIndent = 2;
constexpr int kPathRole = Qt::UserRole;

QString ShortenedPath(const QString& path, int width, const QFontMetrics& metrics) {
  const std::string shortened =
      ShortenPath(path.toStdString(), width, [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
      });
  return QString::fromStdString(shortened);
}

}  // namespace

TParamFiles::TParamFiles(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setFont(DesignFont(13));
  setUniformItemSizes(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideNone);
  setItemDelegate(new TParamFilesDelegate(this));
}

void TParamFiles::AddPath(const std::string& path) {
  const QByteArray bytes = QByteArray::fromStdString(path);
  auto* item = new QListWidgetItem(QFile::decodeName(bytes));
  item->setData(kPathRole, bytes);
  addItem(item);
}

std::optional<std::string> TParamFiles::PathAt(int index) const {
  if (index < 0 || index >= count()) return std::nullopt;
  return item(index)->data(kPathRole).toByteArray().toStdString();
}

std::vector<std::string> TParamFiles::Paths() const {
  std::vector<std::string> paths;
  for (int i = 0; i < count(); ++i) paths.push_back(*PathAt(i));
  return paths;
}

void TParamFiles::RemoveSelected() {
  for (int i = count() - 1; i >= 0; --i) {
    if (item(i)->isSelected()) delete takeItem(i);
  }
}

QString TParamFiles::RowText(int row, int width) const {
  if (row < 0 || row >= count()) return {};
  return ShortenedPath(item(row)->text(), width - 2 * kTextIndent, QFontMetrics(font()));
}

void ParamFilesDrawItem(QPainter& painter, const QStyleOptionViewItem& option,
                        const QString& path) {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
  painter.fillRect(option.rect, selected ? option.palette.brush(group, QPalette::Highlight)
                                         : option.palette.brush(group, QPalette::Base));
  painter.setPen(
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter.setFont(option.font);
  // Two pixels of room on either side, so the text never touches the edge.
  const QRect text_rect = option.rect.adjusted(kTextIndent, 0, -kTextIndent, 0);
  painter.drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter,
                   ShortenedPath(path, text_rect.width(), QFontMetrics(option.font)));
}

void TParamFilesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  painter->save();
  ParamFilesDrawItem(*painter, option, index.data(Qt::DisplayRole).toString());
  painter->restore();
}

QSize TParamFilesDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& /*index*/) const {
  return QSize(option.rect.width(), kRowHeight);
}

}  // namespace vorlane
