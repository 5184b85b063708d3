#pragma once

#include <QString>

// The store's own changes to its files and folders, each one careful never to take more than it names:
// a new key never truncates what exists, a key deletion never takes a folder, a category deletion never
// leaves half a category behind because of a folder inside it.
namespace StoreFiles {

// Creates an empty key file (0 bytes). False when anything of that name exists already or the folder
// refuses it.
bool createEmptyKey(const QString& path);

// Removes a key file (or a link in its place). A folder that has taken the key's name is left alone.
// True when nothing of the key is left, also when it was gone already.
bool removeKey(const QString& path);

// Removes a category folder with every key in it. A folder holding folders of its own is not touched at
// all. False when the folder is still there afterwards; keysRemoved tells whether any key went anyway.
bool removeCategory(const QString& folder, bool& keysRemoved);

} // namespace StoreFiles
