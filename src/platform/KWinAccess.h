#pragma once

#include <QString>

#include <functional>

class Dialogs;

// KWin offers fake input and its window list only to a program whose installed desktop file names its
// absolute path in Exec= and lists them in X-KDE-Wayland-Interfaces. The package's entry does that for
// /usr/bin/wordwisp; a copy run from a build or an unpacked folder is offered, once, an entry of its own.
namespace KWinAccess {

enum class Outcome {
    NotAsked,     // nothing to ask: not KWin, fake input already offered, installed, or asked before
    Refused,      // the user said No; remembered for this executable
    Granted,      // the entry is written and KWin now offers fake input
    NeedsRestart, // the entry is written but KWin did not offer fake input in time
    Failed,       // the entry could not be written
};

struct Situation {
    QString executable; // absolute path of this executable
    QString dataHome;   // $XDG_DATA_HOME or its default
    QString configHome; // $XDG_CONFIG_HOME or its default
};

// The desktop entry that asks KWin for both interfaces for this executable; empty for a path that no
// Exec= line can name (one with a line break).
QString entryText(const QString& executable);
// Where that entry goes: one file per executable path, so that two copies do not take each other's.
QString entryPath(const Situation& situation);

// Asks the user, when it makes sense, whether to write the entry; on Yes writes it and calls fakeInputNow
// until it says yes or a few seconds have passed. The caller knows that the compositor is KWin with
// data-control and without fake input for us.
Outcome offer(Dialogs& dialogs, const Situation& situation, const std::function<bool()>& fakeInputNow);

// The situation of this process.
Situation current();

} // namespace KWinAccess
