#include "platform/LabelButton.h"

#include <QMouseEvent>

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
    // The press is the button's: passed on, it would reach the title bar under the button, which starts
    // the window manager's move, and the compositor would keep the release that makes the click.
    if (m_pressed)
        event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release of the left button over the label, like any push button.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && isEnabled())
        emit clicked();
}
