#pragma once

#include <QString>

// What the desktop does for us outside our own windows: opening addresses and ending the process.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QString& url) = 0;
    virtual void endProcess() = 0;
};
