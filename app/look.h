// Shared look of the windows: the fonts they were designed with (where the
// system has them; the closest family stands in otherwise) and how the
// dialogs are placed.
#pragma once

#include <QFont>

class QDialog;
class QWidget;

namespace vorlane {

// Tahoma at the given pixel size, or the system's closest sans-serif.
QFont DesignFont(int pixel_size, bool bold = false);
// Courier New at the given pixel size, or the system's monospace font.
QFont FixedFont(int pixel_size);

// A dialog that stays on top of other windows, opens centred on the screen
// and is modal to the whole program.
void PrepareDialog(QDialog& dialog);

// Places a dialog in the middle of the screen that holds the program's
// active window (or the primary screen).
void CentreOnScreen(QWidget& window);

// Paints a widget in one flat colour (the dialogs' bands and panels).
void FillWith(QWidget& widget, const QColor& colour);

}  // namespace vorlane
