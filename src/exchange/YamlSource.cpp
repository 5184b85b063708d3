#include "exchange/YamlSource.h"

#include "exchange/SourceFiles.h"

#include <algorithm>
#include <vector>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const std::string kMergeKey = "<<";
const std::string kQuotedTag = "!"; // yaml-cpp's tag for a quoted scalar: "<<" in quotes is just a key
constexpr std::size_t kMergedMapsLimit = 1000;

// Merged mappings are searched once each: mappings that merge the same anchor twice over, level upon level,
// would otherwise cost twice as much per level.
std::optional<YAML::Node> lookupIn(const YAML::Node& map, const std::string& key, std::vector<YAML::Node>& seen) {
    if (!map.IsMap() || seen.size() > kMergedMapsLimit ||
        std::any_of(seen.begin(), seen.end(), [&](const YAML::Node& other) { return other.is(map); })) {
        return std::nullopt;
    }
    seen.push_back(map);
    for (const auto& entry : map) {
        if (entry.first.IsScalar() && entry.first.Scalar() == key) {
            return entry.second;
        }
    }
    for (const auto& entry : map) {
        if (!entry.first.IsScalar() || entry.first.Scalar() != kMergeKey || entry.first.Tag() == kQuotedTag) {
            continue;
        }
        if (entry.second.IsMap()) {
            return lookupIn(entry.second, key, seen);
        }
        for (const auto& merged : entry.second) {
            if (auto found = lookupIn(merged, key, seen)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

} // namespace

int YamlSource::prepare(QByteArray& source) {
    if (source.startsWith(kBom)) {
        source.remove(0, kBom.size());
    }
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == '\r' && (i + 1 == source.size() || source[i + 1] != '\n')) {
            source[i] = '\n';
        }
    }
    // yaml-cpp takes a NUL for the end of the text.
    qsizetype bad = SourceFiles::invalidUtf8At(source);
    const qsizetype nul = source.indexOf('\0');
    if (nul >= 0 && (bad < 0 || nul < bad)) {
        bad = nul;
    }
    return bad < 0 ? -1 : SourceFiles::lineAt(source, bad) - 1;
}

namespace {
// A line that starts a document ("---") or ends one ("..."): the marker, then the end of the line or a blank.
bool isMarkerLine(const QByteArray& source, qsizetype at, const char* marker) {
    if (!QByteArrayView(source).sliced(at).startsWith(marker)) {
        return false;
    }
    const qsizetype after = at + 3;
    return after == source.size() || source[after] == ' ' || source[after] == '\t' || source[after] == '\n' ||
           source[after] == '\r';
}
} // namespace

QList<QByteArray> YamlSource::documents(const QByteArray& source) {
    // Where each document begins and ends: a "---" line begins one (ending the one before, if it had
    // content), a "..." line ends one; anything else before the first marker is the first document.
    QList<std::pair<qsizetype, qsizetype>> spans;
    qsizetype start = 0;
    bool content = false;
    for (qsizetype at = 0; at < source.size() && spans.size() < kMaxDocuments;) {
        const qsizetype end = source.indexOf('\n', at);
        const qsizetype next = end < 0 ? source.size() : end + 1;
        if (isMarkerLine(source, at, "---")) {
            if (content) {
                spans.append({start, at});
            }
            start = at;
            content = true;
        } else if (isMarkerLine(source, at, "...")) {
            spans.append({start, next});
            start = next;
            content = false;
        } else {
            // Comments and directives before a "---" belong to the document it starts.
            const QByteArrayView line = QByteArrayView(source).sliced(at, next - at).trimmed();
            content = content || !(line.isEmpty() || line.startsWith('#') || line.startsWith('%'));
        }
        at = next;
    }
    if ((content || spans.isEmpty()) && spans.size() < kMaxDocuments) {
        spans.append({start, source.size()});
    }
    QList<QByteArray> result;
    for (const auto& [from, to] : spans) {
        QByteArray document = source;
        for (qsizetype i = 0; i < document.size(); ++i) {
            if ((i < from || i >= to) && document[i] != '\n') {
                document[i] = ' ';
            }
        }
        result.append(document);
    }
    return result;
}

std::optional<YAML::Node> YamlSource::lookup(const YAML::Node& map, const std::string& key) {
    std::vector<YAML::Node> seen;
    return lookupIn(map, key, seen);
}

qsizetype YamlSource::keepFoldedHeader(const QByteArray& source, int pos) {
    qsizetype i = pos;
    const auto at = [&](qsizetype k) { return k >= 0 && k < source.size() ? source[k] : '\0'; };
    // An anchor or a tag may come before the header; neither holds white space.
    while (at(i) == '&' || at(i) == '!') {
        while (at(i) != '\0' && !QByteArrayView(" \t\r\n").contains(at(i))) {
            ++i;
        }
        while (at(i) == ' ' || at(i) == '\t' || at(i) == '\r' || at(i) == '\n') {
            ++i;
        }
    }
    if (at(i) != '>') {
        return -1;
    }
    for (qsizetype k = i + 1; QByteArrayView("+-0123456789").contains(at(k)); ++k) {
        if (at(k) == '+') {
            return i;
        }
    }
    return -1;
}
