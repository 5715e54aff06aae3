// The input list: full paths of the files to convert, in the order they
// came, duplicates allowed. Rows are drawn by the program so that a long
// path is shortened from the left and its file name stays readable.
#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

class TParamFiles : public QListWidget {
  Q_OBJECT
 public:
  explicit TParamFiles(QWidget* parent = nullptr);

  // Appends one entry. The path is kept byte for byte, whatever its
  // encoding; the row shows it decoded.
  void AddPath(const std::string& path);
  // The entry at index, or nullopt past the end of the list.
  std::optional<std::string> PathAt(int index) const;
  std::vector<std::string> Paths() const;
  // Deletes every selected entry, from the last to the first.
  void RemoveSelected();

  // The text a row shows: its path shortened to the row's width.
  QString RowText(int row, int width) const;
};

// Draws the rows of the input list (ParamFilesDrawItem).
class TParamFilesDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The row's rectangle is filled with the background (the selection colour
// for a selected row) and the shortened path is drawn 2 pixels in.
void ParamFilesDrawItem(QPainter& painter, const QStyleOptionViewItem& option, const QString& path);

}  // namespace vorlane
