#pragma once

#include <QString>
#include <QStringList>

// The store's folder listings. Names come sorted without regard to case (names that differ only in case
// keep a fixed order among themselves), hidden entries (a leading dot) are skipped, and only real
// folders count as categories and only regular files as keys: a link could point out of the store.
namespace StoreListing {
QStringList categories(const QString& root);
QStringList keys(const QString& categoryFolder);
// The order both listings use.
void sortNames(QStringList& names);
bool comesBefore(const QString& a, const QString& b);
} // namespace StoreListing
