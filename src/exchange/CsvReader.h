#pragma once

#include "exchange/ImportItem.h"

// keyword,text[,category] rows, RFC 4180 quoting, UTF-8 with or without BOM. Without the third column the
// category is the file's name; a first row whose first field is "keyword" (any case) is a header.
namespace CsvReader {
ImportRead read(const QString& file);
} // namespace CsvReader
