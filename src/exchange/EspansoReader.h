#pragma once

#include "exchange/ImportItem.h"

// espanso's match files: one .yml/.yaml file, or a folder searched recursively for them (espanso's match/
// folder, installed or downloaded hub packages). Each file is a category named after the file;
// package.yml takes its package's name.
namespace EspansoReader {
ImportRead read(const QString& path);
} // namespace EspansoReader
