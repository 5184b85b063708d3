#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, for its window and the tray: a white W, drawn as one stroke, on the blue of the
// title bar, with the yellow spark of the title buttons. data/wordwisp.svg is the same drawing for the
// desktop's icon theme; the PNG sizes of the package are rendered from image().
namespace AppIcon {
QIcon icon();
// One size of it. Needs no display.
QImage image(int size);
} // namespace AppIcon
