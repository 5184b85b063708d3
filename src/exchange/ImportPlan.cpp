#include "exchange/ImportPlan.h"

#include "store/NameRules.h"

#include <QFile>

namespace {
const QString kFallbackCategory = QStringLiteral("Imported");
const QString kCatIni = QStringLiteral("Cat.ini");

QString folded(const QString& name) {
    return name.toCaseFolded();
}
} // namespace

QString ImportPlan::cleanName(const QString& name) {
    QString clean;
    clean.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            clean += c;
            clean += name.at(++i);
            continue;
        }
        if (c.isSurrogate() || NameRules::isForbiddenCharacter(c))
            continue;
        clean += c;
    }
    qsizetype dots = 0;
    while (dots < clean.size() && clean.at(dots) == u'.')
        ++dots;
    clean.remove(0, dots);
    return NameRules::isBlank(clean) ? QString() : clean;
}

QString ImportPlan::categoryName(const QString& name) {
    QString clean = cleanName(name);
    if (clean.isEmpty())
        return kFallbackCategory;
    // Db holds Cat.ini beside the category folders.
    if (NameRules::sameName(clean, kCatIni))
        clean += QStringLiteral(" (imported)");
    while (QFile::encodeName(clean).size() > kMaxNameBytes)
        clean.chop(1);
    return clean;
}

ImportPlan::ImportPlan(const QList<ImportItem>& items, const QString& into, const QStringList& categories,
                       const std::function<QStringList(const QString&)>& keysOf)
    : m_keysOf(keysOf) {
    for (const QString& category : categories)
        m_existing.insert(folded(category), category);
    m_decisions.reserve(items.size());
    for (const ImportItem& item : items) {
        Decision decision;
        decision.name = cleanName(item.trigger);
        decision.renamed = !decision.name.isEmpty() && decision.name != item.trigger;
        if (!item.skip.isEmpty()) {
            decision.skip = item.skip;
        } else if (decision.name.isEmpty()) {
            decision.skip = QStringLiteral("empty name");
        } else if (QFile::encodeName(decision.name).size() > kMaxNameBytes) {
            decision.skip = QStringLiteral("name too long");
        } else {
            Category& category = categoryFor(into.isEmpty() ? categoryName(item.category) : into);
            decision.category = category.folder;
            decision.newCategory = category.isNew;
            const QString key = folded(decision.name);
            const auto taken = category.taken.constFind(key);
            if (taken != category.taken.cend())
                decision.skip = taken.value() ? QStringLiteral("exists") : QStringLiteral("clash");
            else
                category.taken.insert(key, false);
        }
        m_decisions.append(decision);
    }
}

ImportPlan::Category& ImportPlan::categoryFor(const QString& wanted) {
    const QString key = folded(wanted);
    auto found = m_categories.find(key);
    if (found != m_categories.end())
        return found.value();
    Category category;
    const auto existing = m_existing.constFind(key);
    if (existing != m_existing.cend()) {
        category.folder = existing.value();
        for (const QString& name : m_keysOf(category.folder))
            category.taken.insert(folded(name), true);
    } else {
        category.folder = wanted;
        category.isNew = true;
    }
    return m_categories.insert(key, category).value();
}
