#include "exchange/AutoKeyReader.h"

#include "exchange/SourceFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

const QString kPhraseSuffix = QStringLiteral(".txt");
const QString kMetadataSuffix = QStringLiteral(".json");
const QString kCategorySeparator = QStringLiteral(" - ");
const QString kSkipNoAbbreviation = QStringLiteral("no abbreviation");
const QString kSkipMacro = QStringLiteral("macro");
const QString kSkipMalformed = QStringLiteral("malformed");

// Any <...> without a nested bracket; whether it is a macro is decided by what is inside.
const QRegularExpression kAngleToken(QStringLiteral("<([^<>]*)>"));

// Macros take arguments after a space ("<date format=%d.%m.%Y>") or none.
const QRegularExpression kMacro(QStringLiteral("^(cursor|clipboard|selection|date|script|file|system|choice)(\\s.*)?$"),
                                QRegularExpression::DotMatchesEverythingOption |
                                    QRegularExpression::CaseInsensitiveOption);

// AutoKey sends these as keys; it compares them without regard to case. "<code 94>" is a key code, while
// "<code>" stays the HTML tag it looks like.
const QRegularExpression kKey(QStringLiteral("^(left|right|up|down|backspace|tab|enter|escape|delete|insert|home|end|"
                                             "page_up|page_down|scroll_lock|print_screen|pause|menu|ctrl|alt|alt_gr|"
                                             "shift|super|hyper|meta|capslock|numlock|f[1-9]|f[12][0-9]|f3[0-5]|"
                                             "np_[a-z0-9_]+|code\\s*[0-9]+)$"),
                              QRegularExpression::CaseInsensitiveOption);

// A phrase's metadata as far as the import cares.
struct Metadata {
    bool valid = true;
    QStringList abbreviations;
};

// ".NAME.json" beside NAME.txt. Two layouts are accepted: the list "abbreviations" in the "abbreviation"
// object, and the single "abbreviation" string AutoKey wrote there before it allowed several.
Metadata parseMetadata(const QByteArray& bytes) {
    Metadata result;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(SourceFiles::withoutBom(bytes).toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        result.valid = false;
        return result;
    }
    const QJsonValue abbreviation = document.object().value(QStringLiteral("abbreviation"));
    if (abbreviation.isUndefined() || abbreviation.isNull()) {
        return result;
    }
    if (!abbreviation.isObject()) {
        result.valid = false;
        return result;
    }
    const QJsonObject settings = abbreviation.toObject();
    const QJsonValue list = settings.value(QStringLiteral("abbreviations"));
    if (list.isArray()) {
        for (const QJsonValue& entry : list.toArray()) {
            if (!entry.isString()) {
                result.valid = false;
                return result;
            }
            result.abbreviations.append(entry.toString());
        }
        return result;
    }
    if (!list.isUndefined() && !list.isNull()) {
        result.valid = false;
        return result;
    }
    const QJsonValue single = settings.value(QStringLiteral("abbreviation"));
    if (single.isString() && !single.toString().isEmpty()) {
        result.abbreviations.append(single.toString());
    } else if (!single.isUndefined() && !single.isNull() && !single.isString()) {
        result.valid = false;
    }
    return result;
}

struct Walk {
    QString root;
    QString rootName;
    ImportRead result;
};

// A phrase found on the walk, read once all are known so that they come in the byte order of their paths.
struct Phrase {
    QString relativeFolder;
    QString txtName;
    bool hasMetadata = false;
    QString path; // relative, the order's key
};

QString categoryOf(const Walk& walk, const QString& relativeFolder) {
    if (relativeFolder.isEmpty()) {
        return walk.rootName;
    }
    return relativeFolder.split(QLatin1Char('/')).join(kCategorySeparator);
}

QString joined(const QString& relativeFolder, const QString& name) {
    return relativeFolder.isEmpty() ? name : relativeFolder + QLatin1Char('/') + name;
}

// One phrase: NAME.txt and, where there is one, .NAME.json. Returns false when a file cannot be read at
// all, which stops the import; a broken metadata file only skips its own phrase.
bool readPhrase(Walk& walk, const QString& relativeFolder, const QString& txtName, bool hasMetadata) {
    const QString folder = joined(walk.root, relativeFolder);
    const QString name = txtName.chopped(kPhraseSuffix.size());
    const QString metadataName = QLatin1Char('.') + name + kMetadataSuffix;

    ImportItem item;
    item.category = categoryOf(walk, relativeFolder);
    item.file = joined(relativeFolder, txtName);
    item.trigger = name;

    QByteArray bytes;
    if (!SourceFiles::readAll(folder + QLatin1Char('/') + txtName, item.file, bytes, walk.result.error)) {
        return false;
    }
    if (SourceFiles::invalidUtf8At(bytes) >= 0) {
        item.skip = kSkipMalformed;
        walk.result.items.append(item);
        return true;
    }
    // A byte order mark is no part of what the phrase types.
    item.text = SourceFiles::text(SourceFiles::withoutBom(bytes));

    if (!hasMetadata) {
        item.skip = kSkipNoAbbreviation;
        walk.result.items.append(item);
        return true;
    }
    const QString metadataFile = joined(relativeFolder, metadataName);
    QByteArray metadataBytes;
    if (!SourceFiles::readAll(folder + QLatin1Char('/') + metadataName, metadataFile, metadataBytes,
                              walk.result.error)) {
        return false;
    }
    const Metadata metadata = parseMetadata(metadataBytes);
    if (!metadata.valid) {
        // The file to mend is the metadata, so that is the one named.
        item.file = metadataFile;
        item.skip = kSkipMalformed;
        walk.result.items.append(item);
        return true;
    }
    if (metadata.abbreviations.isEmpty()) {
        item.skip = kSkipNoAbbreviation;
        walk.result.items.append(item);
        return true;
    }
    const bool macro = AutoKeyReader::usesMacros(item.text);
    for (const QString& abbreviation : metadata.abbreviations) {
        ImportItem one = item;
        one.trigger = abbreviation;
        one.skip = macro ? kSkipMacro : QString();
        walk.result.items.append(one);
    }
    return true;
}

// The phrases of one folder. A .txt without metadata counts as a phrase only in a folder AutoKey has
// written to (it leaves a .folder.json or phrase metadata there): a note such as hotkey_list.txt lying
// beside the phrase folders is no phrase.
void readFolder(const Walk& walk, const QString& relativeFolder, QList<Phrase>& phrases, QStringList& subfolders) {
    const QString folder = joined(walk.root, relativeFolder);
    const QStringList files = SourceFiles::fileNames(folder);
    const QSet<QString> present(files.begin(), files.end());
    const bool autoKeyFolder = std::any_of(files.begin(), files.end(), [](const QString& file) {
        return file.startsWith(QLatin1Char('.')) && file.endsWith(kMetadataSuffix);
    });
    for (const QString& file : files) {
        if (file.startsWith(QLatin1Char('.')) || !file.endsWith(kPhraseSuffix)) {
            continue;
        }
        const QString name = file.chopped(kPhraseSuffix.size());
        const bool hasMetadata = present.contains(QLatin1Char('.') + name + kMetadataSuffix);
        if (!hasMetadata && !autoKeyFolder) {
            continue;
        }
        phrases.append({relativeFolder, file, hasMetadata, joined(relativeFolder, file)});
    }
    for (const QString& sub : SourceFiles::folderNames(folder)) {
        if (!sub.startsWith(QLatin1Char('.'))) {
            subfolders.append(joined(relativeFolder, sub));
        }
    }
}

} // namespace

bool AutoKeyReader::usesMacros(const QString& text) {
    QRegularExpressionMatchIterator tokens = kAngleToken.globalMatch(text);
    while (tokens.hasNext()) {
        const QString inside = tokens.next().captured(1);
        if (kMacro.match(inside).hasMatch() || kKey.match(inside).hasMatch()) {
            return true;
        }
    }
    return false;
}

ImportRead AutoKeyReader::read(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) {
        ImportRead missing;
        missing.error = SourceFiles::missingPath(folder);
        return missing;
    }
    if (!info.isDir()) {
        ImportRead notFolder;
        notFolder.error = folder + QStringLiteral(": not a folder (AutoKey keeps its phrases in a folder)");
        return notFolder;
    }
    Walk walk;
    walk.root = QDir::cleanPath(info.absoluteFilePath());
    walk.rootName = QFileInfo(walk.root).fileName();

    // Folders are listed from a queue rather than by recursion, so that a deep tree cannot exhaust the stack.
    QList<Phrase> phrases;
    QStringList pending{QString()};
    while (!pending.isEmpty()) {
        readFolder(walk, pending.takeLast(), phrases, pending);
    }
    std::sort(phrases.begin(), phrases.end(),
              [](const Phrase& a, const Phrase& b) { return SourceFiles::byteLess(a.path, b.path); });
    for (const Phrase& phrase : phrases) {
        if (!readPhrase(walk, phrase.relativeFolder, phrase.txtName, phrase.hasMetadata)) {
            walk.result.items.clear();
            break;
        }
    }
    return walk.result;
}
