#include "exchange/BeeftextReader.h"

ImportRead BeeftextReader::read(const QString& file) {
    ImportRead result;
    result.error = file + QStringLiteral(": this format cannot be read yet");
    return result;
}
