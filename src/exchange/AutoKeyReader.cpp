#include "exchange/AutoKeyReader.h"

ImportRead AutoKeyReader::read(const QString& folder) {
    ImportRead result;
    result.error = folder + QStringLiteral(": this format cannot be read yet");
    return result;
}
