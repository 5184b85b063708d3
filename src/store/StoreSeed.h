#pragma once

#include <QString>

// The first start of an installed program: the user's data folder has no store yet, and a new user
// should meet a few example keys rather than an empty list and a message. The example store is copied
// into a hidden folder beside the target and renamed into place in one step, so an interrupted copy
// never leaves half a store that later starts would take for the user's own. An existing store, even an
// empty one, is never touched.
namespace StoreSeed {

enum class Result {
    AlreadyThere, // the application folder already holds a Db: nothing was done
    Seeded,       // the example store was copied in
    NoExample,    // the example store was not found; the program starts with an empty store
    Failed,       // the folder could not be created or written; nothing was left behind
};

// Gives `applicationFolder` a copy of `exampleRoot` (a folder laid out as a Db) as its Db, unless it has
// one. Only folders and regular files are copied: a link in the example is never followed.
Result seed(const QString& exampleRoot, const QString& applicationFolder);

} // namespace StoreSeed
