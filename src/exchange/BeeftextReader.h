#pragma once

#include "exchange/ImportItem.h"

// Beeftext's combo list (JSON with "groups" and "combos"): each group is a category by its name.
namespace BeeftextReader {
ImportRead read(const QString& file);
} // namespace BeeftextReader
