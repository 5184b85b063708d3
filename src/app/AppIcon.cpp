#include "app/AppIcon.h"

#include "app/WindowStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// The sizes tray hosts and window managers ask for most; Qt scales from the nearest for the rest.
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128};
} // namespace

QImage AppIcon::image(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit grid, so every size keeps the same proportions.
    painter.scale(size / 32.0, size / 32.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(WindowStyle::kTitleBarBack);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    QPainterPath w;
    w.moveTo(6, 11);
    w.lineTo(11, 26);
    w.lineTo(16, 15);
    w.lineTo(21, 26);
    w.lineTo(26, 11);
    QPen stroke(WindowStyle::kTitleText, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(w);

    // The spark: a small four-pointed star above the W's middle stroke.
    QPainterPath spark;
    const QPointF c(16, 7);
    const double r = 5;
    const double waist = 1.3;
    spark.moveTo(c.x(), c.y() - r);
    spark.lineTo(c.x() + waist, c.y() - waist);
    spark.lineTo(c.x() + r, c.y());
    spark.lineTo(c.x() + waist, c.y() + waist);
    spark.lineTo(c.x(), c.y() + r);
    spark.lineTo(c.x() - waist, c.y() + waist);
    spark.lineTo(c.x() - r, c.y());
    spark.lineTo(c.x() - waist, c.y() - waist);
    spark.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(WindowStyle::kTitleButtonText);
    painter.drawPath(spark);
    painter.end();
    return image;
}

QIcon AppIcon::icon() {
    QIcon icon;
    for (const int size : kSizes)
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}
