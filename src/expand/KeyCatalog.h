#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// Every key of every category as the key picker searches them: a filter matches a key when its name or
// its text contains the filter, without regard to case (spaces around the filter do not count, as they
// do not for a copied keyword). Names and texts are lower-cased once, when they are added, into two long
// runs of characters, so a keystroke costs one sweep over memory read in order (a hundred thousand short
// searches in strings scattered over the heap cost several times more); and a filter that only grew (the
// user typed one more letter) searches only the previous matches, never the whole store again, and one
// that went back (a letter deleted) takes the matches it had on the way.
//
// Matches come best first: the name itself, then names that start with the filter, names that contain
// it, and last keys whose text alone contains it; within each kind in the store's order (categories,
// then keys, as listed). Only the first few are handed out: nobody reads ten thousand rows.
class KeyCatalog {
public:
    // A key's text is searched this far; a key of several megabytes costs no more than this.
    static constexpr qsizetype kMaxSearchedChars = 2048;

    struct Entry {
        QString category;
        QString key;
        QString firstLine; // of the text as it pastes, empty until the text is known
    };

    void clear();
    void reserve(qsizetype entries);
    // A key by its name; its text follows through setText(), and until then only the name can match.
    int add(const QString& category, const QString& key);
    // The text as it pastes (comment lines left out), for the key added as this index.
    void setText(int index, const QString& text);

    qsizetype size() const { return qsizetype(m_entries.size()); }
    const Entry& entry(int index) const { return m_entries.at(std::size_t(index)); }

    // The indexes of the best matches of the filter, at most limit of them.
    QList<int> filter(QStringView filter, int limit);
    // How many keys the last filter matched in all.
    qsizetype matchCount() const { return qsizetype(m_matches.size()); }

private:
    // Where one name or text lies in its run of characters.
    struct Span {
        qsizetype start = 0;
        qsizetype length = -1; // no text yet
    };
    // Marks, in found, the owner of every span of the run (by its starts, in order) that contains the probe.
    static void sweep(const QString& run, const std::vector<qsizetype>& starts, const QString& probe,
                      const std::vector<int>& owners, unsigned char mark, std::vector<unsigned char>& found);

    std::vector<Entry> m_entries;
    std::vector<QString> m_names; // lower-cased, for the ranking
    // Lower-cased names, then texts (cut at kMaxSearchedChars), one after the other, each followed by a
    // character no filter holds; texts in the order they arrived.
    QString m_nameRun;
    QString m_textRun;
    std::vector<qsizetype> m_nameStarts; // by entry
    std::vector<qsizetype> m_textStarts; // by text, in the order of the run
    std::vector<int> m_nameOwners;       // the entry of each name: its index
    std::vector<int> m_textOwners;       // the entry of each text; -1 for one replaced since
    std::vector<Span> m_texts;           // by entry
    // Every key the last filter matched, in store order; it and the steps are valid until the catalog
    // changes.
    std::vector<int> m_matches;
    // The filters typed one letter after another up to the last one, each with its matches.
    struct Step {
        QString probe;
        std::vector<int> matches;
        std::vector<unsigned char> byName;
    };
    std::vector<Step> m_steps;
    bool m_matchesValid = false;
};
