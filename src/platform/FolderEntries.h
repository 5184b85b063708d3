#pragma once

#include <QString>
#include <QStringList>

// The names in one folder, in the file system's own order: no sorting, no hidden entries (a leading
// dot), and no links, which could point out of the folder. Only the names are read, as the folder lists
// them: a category of a hundred thousand keys costs one pass over the folder, not a file status each.
namespace FolderEntries {

enum class Kind {
    Folders, // real folders
    Files,   // regular files
};

QStringList names(const QString& folder, Kind kind);

} // namespace FolderEntries
