#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Finds the key list entry that a clipboard text names. Both sides are compared with leading and
// trailing spaces removed (spaces only: a tab or a line end is part of the text) and lower-cased; the
// first entry wins when several compare equal. A lookup costs the same with ten keys or a hundred
// thousand, and a long clipboard text is turned away before it is lower-cased.
class KeywordIndex {
public:
    static constexpr int kNoMatch = -1;

    // The text as it is compared: spaces trimmed at both ends, then lower-cased.
    static QString probe(QStringView text);

    void rebuild(const QStringList& entries);
    // The row of the first entry the text names, or kNoMatch.
    int find(QStringView text) const;
    qsizetype size() const { return m_rows.size(); }

private:
    QHash<QString, int> m_rows;
    qsizetype m_longest = 0;
};
