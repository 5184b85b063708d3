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
    // The user clicked the icon; the point is where the click happened, in global coordinates.
    void clicked(const QPoint& globalPos);
};
