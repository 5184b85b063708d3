#pragma once

#include <QtGlobal>

// While the application object is made. Qt ends a start it cannot make on any platform (a DISPLAY that
// names no reachable X server, say) with a fatal message, an abort and a core file; under this guard that
// becomes one line saying which display failed and exit code 1. Qt's own warnings before it, which say
// why, still go out as they would.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

    // The application object is made: fatal messages are Qt's again.
    void release();

private:
    bool m_armed = true;
};
