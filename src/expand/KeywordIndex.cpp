#include "expand/KeywordIndex.h"

namespace {
// Lower-casing can lengthen a text (one letter may become two code units), never by more than this.
constexpr qsizetype kLowerCaseGrowth = 3;

QStringView trimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

QString KeywordIndex::probe(QStringView text) {
    return trimSpaces(text).toString().toLower();
}

void KeywordIndex::rebuild(const QStringList& entries) {
    m_rows.clear();
    m_rows.reserve(entries.size());
    m_longest = 0;
    for (int row = 0; row < entries.size(); ++row) {
        // A name without spaces at its ends and already in lower case (most are) is its own key: the
        // index then shares the name's text instead of holding a second copy of it.
        const QString& entry = entries.at(row);
        QString key = trimSpaces(entry).size() == entry.size() ? entry.toLower() : probe(entry);
        if (m_rows.contains(key))
            continue; // the first entry of a name wins
        m_longest = std::max(m_longest, key.size());
        m_rows.insert(std::move(key), row);
    }
}

int KeywordIndex::find(QStringView text) const {
    const QStringView trimmed = trimSpaces(text);
    if (trimmed.isEmpty() || trimmed.size() > m_longest * kLowerCaseGrowth)
        return kNoMatch;
    return m_rows.value(trimmed.toString().toLower(), kNoMatch);
}
