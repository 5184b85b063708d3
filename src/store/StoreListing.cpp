#include "store/StoreListing.h"

#include <QDir>

#include <algorithm>

namespace {
QStringList list(const QString& folder, QDir::Filters kind) {
    if (folder.isEmpty())
        return {};
    QStringList names = QDir(folder).entryList(kind | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Unsorted);
    StoreListing::sortNames(names);
    return names;
}
} // namespace

bool StoreListing::comesBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void StoreListing::sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), &StoreListing::comesBefore);
}

QStringList StoreListing::categories(const QString& root) {
    return list(root, QDir::Dirs);
}

QStringList StoreListing::keys(const QString& categoryFolder) {
    return list(categoryFolder, QDir::Files);
}
