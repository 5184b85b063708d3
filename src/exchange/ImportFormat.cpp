#include "exchange/ImportFormat.h"

ImportFormat::Kind ImportFormat::detect(const QString& path) {
    Q_UNUSED(path);
    return Kind::Unknown;
}

QString ImportFormat::name(Kind kind) {
    Q_UNUSED(kind);
    return {};
}

ImportRead ImportFormat::read(Kind kind, const QString& path) {
    Q_UNUSED(kind);
    Q_UNUSED(path);
    return {};
}
