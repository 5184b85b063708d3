#include "expand/KeyCatalog.h"

#include "expand/KeywordIndex.h"

#include <array>

namespace {
// How well a key matches, best first.
enum Rank { NameEqual, NameStart, NameContains, TextOnly, kRanks };
} // namespace

void KeyCatalog::clear() {
    m_entries.clear();
    m_names.clear();
    m_texts.clear();
    m_matches.clear();
    m_matchesValid = false;
}

void KeyCatalog::reserve(qsizetype entries) {
    m_entries.reserve(std::size_t(entries));
    m_names.reserve(std::size_t(entries));
    m_texts.reserve(std::size_t(entries));
}

int KeyCatalog::add(const QString& category, const QString& key) {
    m_entries.push_back({category, key, QString()});
    m_names.push_back(KeywordIndex::probe(key));
    m_texts.emplace_back();
    m_matchesValid = false;
    return int(m_entries.size() - 1);
}

void KeyCatalog::setText(int index, const QString& text) {
    const auto at = std::size_t(index);
    const qsizetype lineEnd = text.indexOf(u'\r');
    const qsizetype feed = text.indexOf(u'\n');
    const qsizetype end = lineEnd < 0 ? feed : (feed < 0 ? lineEnd : qMin(lineEnd, feed));
    m_entries[at].firstLine = end < 0 ? text : text.left(end);
    m_texts[at] = QStringView(text).left(kMaxSearchedChars).toString().toLower();
    // A text that arrives can make a key match that did not: the last matches no longer narrow.
    m_matchesValid = false;
}

QList<int> KeyCatalog::filter(QStringView filter, int limit) {
    const QString probe = KeywordIndex::probe(filter);
    std::vector<int> matches;
    const auto consider = [&](int index) {
        const std::size_t at = std::size_t(index);
        if (m_names[at].contains(probe) || m_texts[at].contains(probe))
            matches.push_back(index);
    };
    if (m_matchesValid && probe.startsWith(m_lastProbe)) {
        // Whatever contains the longer filter contains the shorter one: only the last matches can match.
        matches.reserve(m_matches.size());
        for (const int index : m_matches)
            consider(index);
    } else {
        matches.reserve(m_entries.size());
        for (int index = 0; index < int(m_entries.size()); ++index)
            consider(index);
    }
    m_matches = std::move(matches);
    m_lastProbe = probe;
    m_matchesValid = true;

    // Ranked only as far as the rows shown: a kind is full once it holds limit keys.
    std::array<QList<int>, kRanks> ranked;
    for (const int index : m_matches) {
        const QString& name = m_names[std::size_t(index)];
        const Rank rank = name == probe            ? NameEqual
                          : name.startsWith(probe) ? NameStart
                          : name.contains(probe)   ? NameContains
                                                   : TextOnly;
        if (ranked[rank].size() < limit)
            ranked[rank].append(index);
        if (ranked[NameEqual].size() >= limit)
            break;
    }
    QList<int> shown;
    for (const QList<int>& kind : ranked) {
        for (const int index : kind) {
            if (shown.size() >= limit)
                return shown;
            shown.append(index);
        }
    }
    return shown;
}
