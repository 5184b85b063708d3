#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

// The icon in the notification area.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override = default;

    virtual bool isAvailable() const = 0;
    virtual void show(const QIcon& icon, const QString& toolTip) = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;

signals:
    // The user released the left or the right button over the icon (where the tray host reports only
    // whole clicks, clicked it); the point is the pointer's, in global coordinates.
    void clicked(const QPoint& globalPos);
};
