#include "exchange/YamlSource.h"

#include <algorithm>
#include <vector>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const std::string kMergeKey = "<<";
const std::string kQuotedTag = "!"; // yaml-cpp's tag for a quoted scalar: "<<" in quotes is just a key
constexpr std::size_t kMergedMapsLimit = 1000;

// Length of the UTF-8 sequence at i, or 0 when it is not one (overlong, surrogate, beyond U+10FFFF).
int sequenceLength(const QByteArray& s, qsizetype i) {
    const auto byte = [&](qsizetype k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned lead = byte(i);
    const auto continuation = [&](qsizetype k) { return (byte(k) & 0xC0u) == 0x80u; };
    if (lead >= 0x01 && lead <= 0x7F) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return continuation(i + 1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned second = byte(i + 1);
        const bool ok = (lead == 0xE0 ? second >= 0xA0 : true) && (lead == 0xED ? second < 0xA0 : true);
        return ok && continuation(i + 1) && continuation(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned second = byte(i + 1);
        const bool ok = (lead == 0xF0 ? second >= 0x90 : true) && (lead == 0xF4 ? second < 0x90 : true);
        return ok && continuation(i + 1) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

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
    int line = 0;
    for (qsizetype i = 0; i < source.size();) {
        if (source[i] == '\r' && (i + 1 == source.size() || source[i + 1] != '\n')) {
            source[i] = '\n';
        }
        if (source[i] == '\n') {
            ++line;
        }
        const int length = sequenceLength(source, i);
        if (length == 0) {
            return line;
        }
        i += length;
    }
    return -1;
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
