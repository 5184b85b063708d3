#pragma once

#include "exchange/ImportItem.h"

// Which expander a file or folder comes from, told by its content rather than its name alone.
namespace ImportFormat {

enum class Kind { Unknown, Espanso, AutoKey, Beeftext, Csv };

Kind detect(const QString& path);
// The reader of that kind over path.
ImportRead read(Kind kind, const QString& path);

} // namespace ImportFormat
