#pragma once

#include <QString>

// Renaming a file or folder without ever replacing what already has the new name. A plain rename on
// Linux silently overwrites a file, or an empty folder, under the target name; the store must never lose
// a key or merge a category that way.
namespace FileRename {

enum class Result {
    Done,
    TargetExists, // something (file, folder, link) already has the new name; nothing was changed
    Failed,       // the source is missing, the folder is read-only, the name is refused, ...
};

// Renames from to to. Renaming an entry to its own name is done without touching it; a change of letter
// case only is done also where the file system ignores case.
Result renameNoReplace(const QString& from, const QString& to);

} // namespace FileRename
