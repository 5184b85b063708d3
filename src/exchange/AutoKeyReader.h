#pragma once

#include "exchange/ImportItem.h"

// AutoKey's data folder: NAME.txt phrases with their .NAME.json metadata; every folder holding phrases is a
// category, nested folders joined with " - ".
namespace AutoKeyReader {
ImportRead read(const QString& folder);

// Whether a phrase's text holds an AutoKey macro (<cursor>, <date ...>) or a key (<left>, <ctrl>, <f5>),
// which only AutoKey can carry out. Ordinary brackets ("a < b", "<div>", "<3") are none of these.
bool usesMacros(const QString& text);
} // namespace AutoKeyReader
