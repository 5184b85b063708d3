#pragma once

#include "exchange/ImportItem.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What becomes of each key an import reads: its category folder and name in the store, or why it is
// left out. Pure logic over the store's name rules; the store itself is seen only through its listings.
class ImportPlan {
public:
    struct Decision {
        QString category; // the store's folder name: an existing category's own spelling, or a new one
        QString name;     // the key's name after the name rules
        QString skip;     // why it is not imported; empty when it is
        bool renamed = false;
        bool newCategory = false;
    };

    // categories: the store's categories; keysOf: the keys of one of them. into: every key goes to that
    // category instead of the source's own (already checked to be a good name).
    ImportPlan(const QList<ImportItem>& items, const QString& into, const QStringList& categories,
               const std::function<QStringList(const QString&)>& keysOf);

    const QList<Decision>& decisions() const { return m_decisions; }

    // The name rules applied to a name from elsewhere: the characters a key or category name cannot hold
    // are dropped, and so are leading dots. Empty when nothing (or only blanks) is left.
    static QString cleanName(const QString& name);
    // A category name from a source: cleaned, and never the store's own Cat.ini. Never empty.
    static QString categoryName(const QString& name);
    // A file name longer than this (in bytes) leaves no room for the hidden temporary a save writes first.
    static constexpr qsizetype kMaxNameBytes = 247;

private:
    struct Category {
        QString folder;
        bool isNew = false;
        QHash<QString, bool> taken; // folded names: true for keys already there, false for this import's
    };
    Category& categoryFor(const QString& wanted);

    QList<Decision> m_decisions;
    QHash<QString, Category> m_categories; // by folded name
    QHash<QString, QString> m_existing;    // folded name -> the store's spelling
    std::function<QStringList(const QString&)> m_keysOf;
};
