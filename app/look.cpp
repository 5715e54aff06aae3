#include "app/look.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace vorlane {

QFont DesignFont(int pixel_size, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  return font;
}

QFont FixedFont(int pixel_size) {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(pixel_size);
  return font;
}

void PrepareDialog(QDialog& dialog) {
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  dialog.setWindowModality(Qt::ApplicationModal);
}

void CentreOnScreen(QWidget& window) {
  QScreen* screen = nullptr;
  if (QWidget* active = QApplication::activeWindow()) screen = active->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  QRect frame = window.frameGeometry();
  frame.moveCenter(area.center());
  window.move(frame.topLeft());
}

void FillWith(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

}  // namespace vorlane
