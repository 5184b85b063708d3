#pragma once

#include "exchange/ImportItem.h"

// AutoKey's data folder: NAME.txt phrases with their .NAME.json metadata; every folder holding phrases is a
// category, nested folders joined with " - ".
namespace AutoKeyReader {
ImportRead read(const QString& folder);
} // namespace AutoKeyReader
