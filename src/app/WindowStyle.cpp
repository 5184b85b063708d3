#include "app/WindowStyle.h"

#include <QPainter>
#include <QWidget>

namespace {
constexpr int kGripPictureWidth = 18;
constexpr int kGripPictureHeight = 17;
constexpr int kGripRidges = 3;
constexpr int kGripRidgeSpacing = 4;
const QColor kGripShadow{0xA0, 0xA0, 0xA0};
const QColor kGripLight{0xFF, 0xFF, 0xFF};
} // namespace

QFont WindowStyle::sans(double pointSize, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont WindowStyle::mono(double pointSize) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(pointSize);
    return font;
}

void WindowStyle::paint(QWidget* widget, const QColor& back, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, back);
    if (text.isValid()) {
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void WindowStyle::button(QWidget* widget, const QColor& text, double pointSize) {
    paint(widget, kButtonBack, text);
    widget->setFont(sans(pointSize, true));
}

QPixmap WindowStyle::gripPicture() {
    QPixmap picture(kGripPictureWidth, kGripPictureHeight);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const int right = kGripPictureWidth - 1;
    const int bottom = kGripPictureHeight - 1;
    for (int ridge = 0; ridge < kGripRidges; ++ridge) {
        // Each ridge is a shadow line with a light line under it, like a raised edge lit from the top-left.
        const int reach = (ridge + 1) * kGripRidgeSpacing;
        painter.setPen(kGripShadow);
        painter.drawLine(right - reach, bottom, right, bottom - reach);
        painter.drawLine(right - reach + 1, bottom, right, bottom - reach + 1);
        painter.setPen(kGripLight);
        painter.drawLine(right - reach + 2, bottom, right, bottom - reach + 2);
    }
    return picture;
}
