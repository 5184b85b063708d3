#pragma once

#include <optional>

// What the command line asks for that needs no window: the help, the version, a mistake in it, and the
// requests for the running instance (--show, --quit, --pick, --paste), which never start one. Also the one start that
// cannot go anywhere, with no display at all, is told in a line rather than left to Qt, which aborts.
class EarlyCommands {
public:
    // The exit code when the command line has been dealt with here; nothing when the program is to start.
    static std::optional<int> run(int argc, char* argv[]);
};
