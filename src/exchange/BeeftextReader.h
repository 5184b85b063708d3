#pragma once

#include "exchange/ImportItem.h"

// Beeftext's combo list (JSON with "groups" and "combos"): each group is a category by its name, combos
// outside any known group go to "Beeftext". The path may also be the folder that holds comboList.json.
namespace BeeftextReader {
ImportRead read(const QString& path);
} // namespace BeeftextReader
