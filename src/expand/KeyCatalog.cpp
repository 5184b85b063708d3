#include "expand/KeyCatalog.h"

#include "expand/KeywordIndex.h"

#include <QStringMatcher>

#include <algorithm>
#include <array>
#include <numeric>

namespace {
// How well a key matches, best first.
enum Rank { NameEqual, NameStart, NameContains, TextOnly, kRanks };
// Ends every name and text in its run: no filter typed into a line holds it, so no match runs from one
// key into the next.
constexpr QChar kEnd = u'\0';
// Where a filter was found in a key.
constexpr unsigned char kInName = 1;
constexpr unsigned char kInText = 2;
// Filters remembered on the way to the current one: more letters than anyone types into a search.
constexpr std::size_t kMaxSteps = 64;
} // namespace

void KeyCatalog::clear() {
    m_entries.clear();
    m_names.clear();
    m_nameRun.clear();
    m_textRun.clear();
    m_nameStarts.clear();
    m_textStarts.clear();
    m_nameOwners.clear();
    m_textOwners.clear();
    m_texts.clear();
    m_matches.clear();
    m_steps.clear();
    m_matchesValid = false;
}

void KeyCatalog::reserve(qsizetype entries) {
    m_entries.reserve(std::size_t(entries));
    m_names.reserve(std::size_t(entries));
    m_nameStarts.reserve(std::size_t(entries));
    m_nameOwners.reserve(std::size_t(entries));
    m_textStarts.reserve(std::size_t(entries));
    m_textOwners.reserve(std::size_t(entries));
    m_texts.reserve(std::size_t(entries));
}

int KeyCatalog::add(const QString& category, const QString& key) {
    const int index = int(m_entries.size());
    m_entries.push_back({category, key, QString()});
    m_names.push_back(KeywordIndex::probe(key));
    m_nameStarts.push_back(m_nameRun.size());
    m_nameOwners.push_back(index);
    m_nameRun += m_names.back();
    m_nameRun += kEnd;
    m_texts.emplace_back();
    m_matchesValid = false;
    return index;
}

void KeyCatalog::setText(int index, const QString& text) {
    const auto at = std::size_t(index);
    const qsizetype lineEnd = text.indexOf(u'\r');
    const qsizetype feed = text.indexOf(u'\n');
    const qsizetype end = lineEnd < 0 ? feed : (feed < 0 ? lineEnd : qMin(lineEnd, feed));
    m_entries[at].firstLine = end < 0 ? text : text.left(end);
    // A text read again leaves its old place in the run to nobody.
    if (m_texts[at].length >= 0) {
        const auto old = std::lower_bound(m_textStarts.begin(), m_textStarts.end(), m_texts[at].start);
        m_textOwners[std::size_t(old - m_textStarts.begin())] = -1;
    }
    const QString folded = QStringView(text).left(kMaxSearchedChars).toString().toLower();
    m_texts[at] = {m_textRun.size(), folded.size()};
    m_textStarts.push_back(m_textRun.size());
    m_textOwners.push_back(index);
    m_textRun += folded;
    m_textRun += kEnd;
    // A text that arrives can make a key match that did not: the last matches no longer narrow.
    m_matchesValid = false;
}

void KeyCatalog::sweep(const QString& run, const std::vector<qsizetype>& starts, const QString& probe,
                       const std::vector<int>& owners, unsigned char mark, std::vector<unsigned char>& found) {
    const QStringMatcher matcher(probe);
    const bool oneChar = probe.size() == 1;
    std::size_t span = 0;
    qsizetype from = 0;
    while (from < run.size()) {
        const qsizetype at = oneChar ? run.indexOf(probe.front(), from) : matcher.indexIn(run, from);
        if (at < 0)
            return;
        // Hits come in the order of the run: the span holding this one is never before the last one's.
        while (span + 1 < starts.size() && starts[span + 1] <= at)
            ++span;
        if (owners[span] >= 0)
            found[std::size_t(owners[span])] |= mark;
        // On to the next span: one hit is enough for a key.
        from = span + 1 < starts.size() ? starts[span + 1] : run.size();
    }
}

QList<int> KeyCatalog::filter(QStringView filter, int limit) {
    const QString probe = KeywordIndex::probe(filter);
    if (!m_matchesValid)
        m_steps.clear();
    // The filters typed on the way here that this one still starts with; a letter deleted goes back to
    // one of them, and its matches are already known.
    while (!m_steps.empty() && !probe.startsWith(m_steps.back().probe))
        m_steps.pop_back();
    std::vector<int> matches;
    // Beside each match: found in the name (the ranking looks no further at a key found by its text).
    std::vector<unsigned char> byName;
    if (probe.contains(kEnd)) {
        // Nothing typed holds it; found in the runs, it would join one key's end to the next one's start.
    } else if (probe.isEmpty()) {
        matches.resize(m_entries.size());
        std::iota(matches.begin(), matches.end(), 0);
        byName.assign(m_entries.size(), kInName);
    } else if (!m_steps.empty() && m_steps.back().probe == probe) {
        matches = m_steps.back().matches;
        byName = m_steps.back().byName;
    } else if (!m_steps.empty()) {
        // Whatever contains the longer filter contains the shorter one: only the last matches can match.
        const QStringMatcher matcher(probe);
        const std::vector<int>& before = m_steps.back().matches;
        matches.reserve(before.size());
        byName.reserve(before.size());
        for (const int index : before) {
            const auto at = std::size_t(index);
            const Span& text = m_texts[at];
            const bool inName = m_names[at].contains(probe);
            if (inName ||
                (text.length >= 0 && matcher.indexIn(QStringView(m_textRun).mid(text.start, text.length)) >= 0)) {
                matches.push_back(index);
                byName.push_back(inName ? kInName : 0);
            }
        }
    } else {
        std::vector<unsigned char> found(m_entries.size(), 0);
        sweep(m_nameRun, m_nameStarts, probe, m_nameOwners, kInName, found);
        sweep(m_textRun, m_textStarts, probe, m_textOwners, kInText, found);
        for (std::size_t index = 0; index < found.size(); ++index) {
            if (found[index]) {
                matches.push_back(int(index));
                byName.push_back(found[index] & kInName);
            }
        }
    }
    // The empty filter is the start of every other and would narrow nothing: it is never a step.
    if (!probe.isEmpty() && !probe.contains(kEnd) && (m_steps.empty() || m_steps.back().probe != probe) &&
        m_steps.size() < kMaxSteps)
        m_steps.push_back({probe, matches, byName});
    m_matches = std::move(matches);
    m_matchesValid = true;

    // Ranked only as far as the rows shown: a kind is full once it holds limit keys.
    std::array<QList<int>, kRanks> ranked;
    for (std::size_t i = 0; i < m_matches.size(); ++i) {
        const int index = m_matches[i];
        Rank rank = TextOnly;
        if (byName[i]) {
            const QString& name = m_names[std::size_t(index)];
            rank = name.size() == probe.size() ? NameEqual : name.startsWith(probe) ? NameStart : NameContains;
        }
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
