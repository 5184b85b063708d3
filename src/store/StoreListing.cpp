#include "store/StoreListing.h"

#include "platform/FolderEntries.h"

#include <algorithm>
#include <vector>

namespace {
QStringList list(const QString& folder, FolderEntries::Kind kind) {
    QStringList names = FolderEntries::names(folder, kind);
    StoreListing::sortNames(names);
    return names;
}
} // namespace

namespace {
constexpr char16_t kAsciiEnd = 0x80;

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// The comparison without regard to case, as QString::compare does it, for the ASCII names nearly every
// key has: a category of a hundred thousand keys is sorted some two million times. The first character
// outside ASCII hands the whole comparison to Qt (the part before it compared equal).
int compareFolded(const QString& a, const QString& b) {
    const qsizetype common = std::min(a.size(), b.size());
    const char16_t* pa = reinterpret_cast<const char16_t*>(a.constData());
    const char16_t* pb = reinterpret_cast<const char16_t*>(b.constData());
    for (qsizetype i = 0; i < common; ++i) {
        if (pa[i] >= kAsciiEnd || pb[i] >= kAsciiEnd)
            return QString::compare(a, b, Qt::CaseInsensitive);
        const char16_t fa = foldAscii(pa[i]);
        const char16_t fb = foldAscii(pb[i]);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}
} // namespace

bool StoreListing::comesBefore(const QString& a, const QString& b) {
    const int folded = compareFolded(a, b);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

namespace {
// The first characters of a name, folded, packed into one number that orders as the names do: most
// comparisons of a sort are settled by it alone. Only names whose first kPrefixLength characters are all
// ASCII (or that end sooner) have one; the others always go through the full comparison.
constexpr int kPrefixLength = 8;

struct SortEntry {
    quint64 prefix = 0;
    bool packed = true;
    qsizetype index = 0;
};

SortEntry sortEntry(const QString& name, qsizetype index) {
    SortEntry entry;
    entry.index = index;
    for (int i = 0; i < kPrefixLength; ++i) {
        const char16_t c = i < name.size() ? name.at(i).unicode() : u'\0';
        if (c >= kAsciiEnd) {
            entry.packed = false;
            break;
        }
        // A name that ends is padded with zero, which comes before every character: the shorter first.
        entry.prefix = entry.prefix << 8 | quint64(foldAscii(c));
    }
    return entry;
}
} // namespace

void StoreListing::sortNames(QStringList& names) {
    std::vector<SortEntry> entries;
    entries.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        entries.push_back(sortEntry(names.at(i), i));
    std::sort(entries.begin(), entries.end(), [&names](const SortEntry& a, const SortEntry& b) {
        if (a.packed && b.packed && a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return comesBefore(names.at(a.index), names.at(b.index));
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const SortEntry& entry : entries)
        sorted.append(std::move(names[entry.index]));
    names = std::move(sorted);
}

QStringList StoreListing::categories(const QString& root) {
    return list(root, FolderEntries::Kind::Folders);
}

QStringList StoreListing::keys(const QString& categoryFolder) {
    return list(categoryFolder, FolderEntries::Kind::Files);
}
