#include "platform/WindowEffects.h"

#include <QWidget>

void WindowEffects::bringToFront(QWidget* window) {
    // Mapped again, a window keeps its old place in the stack, under whatever opened since.
    window->raise();
    window->activateWindow();
}
