#include "exchange/CsvReader.h"

ImportRead CsvReader::read(const QString& file) {
    ImportRead result;
    result.error = file + QStringLiteral(": this format cannot be read yet");
    return result;
}
