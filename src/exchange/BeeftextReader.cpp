#include "exchange/BeeftextReader.h"

#include "exchange/SourceFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString kListFileName = QStringLiteral("comboList.json");
const QString kCombos = QStringLiteral("combos");
const QString kGroups = QStringLiteral("groups");
// Format 1 called the keyword "comboText" and the snippet "substitutionText"; format 2 renamed them.
const QString kKeyword = QStringLiteral("keyword");
const QString kOldKeyword = QStringLiteral("comboText");
const QString kSnippet = QStringLiteral("snippet");
const QString kOldSnippet = QStringLiteral("substitutionText");
const QString kDefaultCategory = QStringLiteral("Beeftext");
const QString kSkipVariables = QStringLiteral("uses variables");
const QString kSkipMalformed = QStringLiteral("malformed");
const QString kVariableStart = QStringLiteral("#{");
constexpr QChar kVariableEnd = u'}';
constexpr QChar kEscape = u'\\';

// The wordwisp placeholders the two Beeftext variables that have one become; the cursor has none, and
// typing the text leaves the cursor at its end, which is where most snippets put it anyway.
const QHash<QString, QString> kReplacements{
    {QStringLiteral("date"), QStringLiteral("[date]")},
    {QStringLiteral("time"), QStringLiteral("[time]")},
    {QStringLiteral("cursor"), QString()},
};

// The snippet with #{date}, #{time} and #{cursor} replaced, or false when it uses any other variable.
// Inside #{...} a backslash escapes the next character (Beeftext writes \} and \# there); outside, every
// character is literal.
bool translateSnippet(const QString& snippet, QString& out) {
    out.clear();
    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = snippet.indexOf(kVariableStart, pos);
        if (start < 0) {
            out.append(QStringView(snippet).sliced(pos));
            return true;
        }
        out.append(QStringView(snippet).sliced(pos, start - pos));
        QString name;
        qsizetype at = start + kVariableStart.size();
        bool closed = false;
        while (at < snippet.size()) {
            const QChar c = snippet[at];
            if (c == kEscape && at + 1 < snippet.size()) {
                name.append(snippet[at + 1]);
                at += 2;
                continue;
            }
            ++at;
            if (c == kVariableEnd) {
                closed = true;
                break;
            }
            name.append(c);
        }
        if (!closed) {
            // "#{" with no end is no variable; the rest is text.
            out.append(QStringView(snippet).sliced(start));
            return true;
        }
        const auto replacement = kReplacements.constFind(name);
        if (replacement == kReplacements.cend()) {
            return false;
        }
        out.append(*replacement);
        pos = at;
    }
}

// The lines of the combos' keyword keys, in order, found by a scan that knows JSON strings and nesting:
// text in a snippet that looks like a key is inside a string and never mistaken for one. Empty when the
// scan does not see the same number of combos as the parser did, so a wrong line is never given.
QList<int> keywordLines(QByteArrayView json, const QString& keywordKey, qsizetype comboCount) {
    QList<int> lines;
    QList<char> containers;   // '{' or '[' for each open level
    QList<QByteArray> keys;   // the last key read in each open object (empty for arrays)
    QByteArray pendingString; // the last string read, which is a key if a ':' follows
    qsizetype pendingAt = -1; // its offset
    const QByteArray keyword = keywordKey.toUtf8();
    const QByteArray combos = kCombos.toUtf8();
    int line = 1;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= json.size() || json[i + 1] != '\n'))) {
            ++line; // counted as SourceFiles::lineAt counts
        } else if (c == '"') {
            const qsizetype begin = i + 1;
            ++i;
            while (i < json.size() && json[i] != '"') {
                if (json[i] == '\\') {
                    ++i;
                } else if (json[i] == '\n') {
                    ++line; // not valid JSON, which the parser has refused already
                }
                ++i;
            }
            pendingString = json.sliced(begin, std::min(i, json.size()) - begin).toByteArray();
            pendingAt = line;
        } else if (c == ':' && !containers.isEmpty() && containers.last() == '{') {
            keys.last() = pendingString;
            // A combo's own key: depth 3 (top object, "combos" array, combo object).
            if (containers.size() == 3 && keys.at(0) == combos && pendingString == keyword) {
                lines.append(pendingAt);
            }
        } else if (c == '{' || c == '[') {
            containers.append(c);
            keys.append(QByteArray());
        } else if (c == '}' || c == ']') {
            if (containers.isEmpty()) {
                return {};
            }
            containers.removeLast();
            keys.removeLast();
        }
    }
    if (lines.size() != comboCount) {
        return {};
    }
    return lines;
}

} // namespace

ImportRead BeeftextReader::read(const QString& path) {
    ImportRead result;
    QFileInfo info(path);
    if (!info.exists()) {
        result.error = SourceFiles::missingPath(path);
        return result;
    }
    // Beeftext's own folder holds the list under its usual name.
    if (info.isDir()) {
        info = QFileInfo(QDir(path).filePath(kListFileName));
        if (!info.exists()) {
            result.error = path + QStringLiteral(": holds no ") + kListFileName;
            return result;
        }
    }
    const QString fileName = info.fileName();
    QByteArray bytes;
    if (!SourceFiles::readAll(info.filePath(), fileName, bytes, result.error)) {
        return result;
    }
    const QByteArrayView body = SourceFiles::withoutBom(bytes);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = fileName + QLatin1Char(':') + QString::number(SourceFiles::lineAt(body, parseError.offset)) +
                       QStringLiteral(": ") + parseError.errorString();
        return result;
    }
    const QJsonValue combosValue = document.object().value(kCombos);
    if (!document.isObject() || !combosValue.isArray()) {
        result.error = fileName + QStringLiteral(": no list of combos (\"combos\") in it");
        return result;
    }
    QHash<QString, QString> groupNames;
    for (const QJsonValue& group : document.object().value(kGroups).toArray()) {
        const QJsonObject object = group.toObject();
        const QString uuid = object.value(QStringLiteral("uuid")).toString();
        if (!uuid.isEmpty()) {
            groupNames.insert(uuid, object.value(QStringLiteral("name")).toString());
        }
    }

    const QJsonArray combos = combosValue.toArray();
    const bool oldNames = !combos.isEmpty() && combos.first().toObject().contains(kOldKeyword) &&
                          !combos.first().toObject().contains(kKeyword);
    const QList<int> lines = keywordLines(body, oldNames ? kOldKeyword : kKeyword, combos.size());

    for (qsizetype i = 0; i < combos.size(); ++i) {
        const QJsonObject combo = combos.at(i).toObject();
        ImportItem item;
        item.file = fileName;
        item.line = lines.value(i);
        const QJsonValue keyword = combo.contains(kKeyword) ? combo.value(kKeyword) : combo.value(kOldKeyword);
        const QJsonValue snippet = combo.contains(kSnippet) ? combo.value(kSnippet) : combo.value(kOldSnippet);
        item.trigger = keyword.toString();
        const QString group = combo.value(QStringLiteral("group")).toString();
        item.category = groupNames.contains(group) ? groupNames.value(group) : kDefaultCategory;
        if (!combos.at(i).isObject() || !keyword.isString() || !snippet.isString()) {
            item.skip = kSkipMalformed;
        } else if (!translateSnippet(snippet.toString(), item.text)) {
            item.text = snippet.toString();
            item.skip = kSkipVariables;
        }
        result.items.append(item);
    }
    return result;
}
