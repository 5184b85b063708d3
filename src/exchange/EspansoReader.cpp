#include "exchange/EspansoReader.h"

ImportRead EspansoReader::read(const QString& path) {
    ImportRead result;
    result.error = path + QStringLiteral(": this format cannot be read yet");
    return result;
}
