#pragma once

#include <QIcon>

// The program's icon, for its window and the tray: a white W, drawn as one stroke, on the blue of the
// title bar, with the yellow spark of the title buttons.
namespace AppIcon {
QIcon icon();
// One size of it, for tests and screenshots.
QPixmap picture(int size);
} // namespace AppIcon
