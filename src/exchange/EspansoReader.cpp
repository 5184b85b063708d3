#include "exchange/EspansoReader.h"

#include "exchange/EspansoVars.h"
#include "exchange/EspansoWriter.h"
#include "exchange/SourceFiles.h"
#include "exchange/YamlSource.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <yaml-cpp/yaml.h>

#include <algorithm>

namespace {

const QString kMalformed = QStringLiteral("malformed");
const QString kUsesVariables = QStringLiteral("uses variables");
const QString kRegexTrigger = QStringLiteral("regex trigger");
const QString kRichText = QStringLiteral("rich text");
const QString kForm = QStringLiteral("form");
const QString kLaterDocument = QStringLiteral("later YAML document");

const QString kPackageFile = QStringLiteral("package.yml");
const QString kManifestFile = QStringLiteral("_manifest.yml");
const QString kFallbackPackageName = QStringLiteral("package");
const QStringList kMatchFileSuffixes = {QStringLiteral(".yml"), QStringLiteral(".yaml")};

// Hub packages are installed as NAME/VERSION/package.yml; the version folder says nothing about the keys.
const QRegularExpression kVersionFolder(QStringLiteral(R"(^v?\d+(\.\d+)*([-+][0-9A-Za-z.+-]*)?$)"));

// One match as the file has it, before its text is judged: the twin parse that repairs ">+" blocks lines
// up with the first one match by match, so this keeps only what the file says.
struct Match {
    QStringList triggers;
    int line = 0;
    QString skip;                // a reason known from the keys alone
    bool replaceMissing = false; // nothing to type, unless a form or rich text stood in for it
    std::string replace;
    qsizetype keepFoldedHeader = -1;
    bool varsOurs = true; // every declared variable is one Wordwisp writes itself
    QSet<QString> declared;
};

QString fromYaml(const std::string& s) {
    return SourceFiles::text(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
}

QString scalarOrEmpty(const YAML::Node& node) {
    return node.IsScalar() ? fromYaml(node.Scalar()) : QString();
}

bool present(const std::optional<YAML::Node>& node) {
    return node && node->IsDefined() && !node->IsNull();
}

std::optional<QString> ownVariable(const YAML::Node& var) {
    constexpr std::size_t kKeysOfOwnVariable = 3;
    if (!var.IsMap() || var.size() != kKeysOfOwnVariable) {
        return std::nullopt;
    }
    const auto name = YamlSource::lookup(var, "name");
    const auto type = YamlSource::lookup(var, "type");
    const auto params = YamlSource::lookup(var, "params");
    if (!name || !type || !params || !name->IsScalar() || !type->IsScalar() || !params->IsMap() ||
        params->size() != 1) {
        return std::nullopt;
    }
    const QString varName = fromYaml(name->Scalar());
    const QString varType = fromYaml(type->Scalar());
    const auto format = YamlSource::lookup(*params, "format");
    const auto echo = YamlSource::lookup(*params, "echo");
    const QString formatText = format ? scalarOrEmpty(*format) : QString();
    if (varType == QLatin1String("date") && format &&
        ((varName == EspansoVars::kDateName && formatText == EspansoWriter::kDateFormat) ||
         (varName == EspansoVars::kTimeName && formatText == EspansoWriter::kTimeFormat))) {
        return varName;
    }
    if (varType == QLatin1String("echo") && varName == EspansoVars::kBracesName && echo &&
        scalarOrEmpty(*echo) == EspansoVars::kBraces) {
        return varName;
    }
    return std::nullopt;
}

void readTriggers(const YAML::Node& node, Match& match) {
    const auto trigger = YamlSource::lookup(node, "trigger");
    const auto triggers = YamlSource::lookup(node, "triggers");
    const auto regex = YamlSource::lookup(node, "regex");
    if (present(trigger)) {
        match.triggers = {scalarOrEmpty(*trigger)};
        if (!trigger->IsScalar()) {
            match.skip = kMalformed;
        }
    } else if (present(triggers) && triggers->IsSequence() && triggers->size() > 0) {
        for (const auto& one : *triggers) {
            match.triggers << scalarOrEmpty(one);
            if (!one.IsScalar()) {
                match.skip = kMalformed;
            }
        }
    } else if (present(triggers)) {
        match.triggers = {scalarOrEmpty(*triggers)};
        match.skip = kMalformed;
    } else if (present(regex)) {
        match.triggers = {scalarOrEmpty(*regex)};
        match.skip = regex->IsScalar() ? kRegexTrigger : kMalformed;
    } else {
        match.triggers = {QString()};
        match.skip = kMalformed;
    }
}

Match readMatch(const YAML::Node& node, const QByteArray& source) {
    Match match;
    match.line = node.Mark().line + 1;
    if (!node.IsMap()) {
        match.triggers = {QString()};
        match.skip = kMalformed;
        return match;
    }
    readTriggers(node, match);
    const auto replace = YamlSource::lookup(node, "replace");
    if (present(replace) && replace->IsScalar()) {
        match.replace = replace->Scalar();
        match.keepFoldedHeader = YamlSource::keepFoldedHeader(source, replace->Mark().pos);
    } else {
        match.replaceMissing = true; // a list or map is no text either
    }
    if (match.skip.isEmpty() && present(YamlSource::lookup(node, "form"))) {
        match.skip = kForm;
    }
    for (const char* rich : {"markdown", "html", "image_path"}) {
        if (match.skip.isEmpty() && present(YamlSource::lookup(node, rich))) {
            match.skip = kRichText;
        }
    }
    if (match.skip.isEmpty() && match.replaceMissing) {
        match.skip = kMalformed;
    }
    const auto vars = YamlSource::lookup(node, "vars");
    if (present(vars)) {
        match.varsOurs = vars->IsSequence();
        for (const auto& var : *vars) {
            const auto name = ownVariable(var);
            match.varsOurs = match.varsOurs && name.has_value();
            if (name) {
                match.declared.insert(*name);
            }
        }
    }
    return match;
}

// Every match of every document, the later documents' marked as such.
QList<Match> readMatches(const QByteArray& source) {
    QList<Match> result;
    const QList<QByteArray> documents = YamlSource::documents(source);
    for (qsizetype index = 0; index < documents.size(); ++index) {
        const auto matches = YamlSource::lookup(YAML::Load(documents[index].toStdString()), "matches");
        if (!present(matches)) {
            continue;
        }
        QList<Match> found;
        if (matches->IsSequence()) {
            for (const auto& node : *matches) {
                found << readMatch(node, source);
            }
        } else {
            found << readMatch(*matches, source); // not a list: reported once, as malformed
            found.last().skip = kMalformed;
        }
        for (Match& match : found) {
            if (index > 0) {
                match.skip = kLaterDocument;
            }
        }
        result << found;
    }
    return result;
}

// yaml-cpp keeps one line break too few at the end of a ">+" block. A literal block with the same lines
// keeps the same trailing breaks and yaml-cpp counts those right, so the file is read a second time with
// those headers turned into '|' (same length, so every position stays) and the counts are taken from there.
void repairKeepFolded(const QByteArray& source, QList<Match>& matches) {
    QByteArray twin = source;
    bool any = false;
    for (const Match& match : matches) {
        if (match.keepFoldedHeader >= 0) {
            twin[match.keepFoldedHeader] = '|';
            any = true;
        }
    }
    if (!any) {
        return;
    }
    const QList<Match> literal = readMatches(twin);
    for (qsizetype i = 0; i < matches.size() && i < literal.size(); ++i) {
        if (matches[i].keepFoldedHeader < 0) {
            continue;
        }
        std::string& text = matches[i].replace;
        const std::string& twinText = literal[i].replace;
        const auto breaks = twinText.size() - (twinText.find_last_not_of('\n') + 1);
        text.erase(text.find_last_not_of('\n') + 1);
        text.append(breaks, '\n');
    }
}

// The text as Wordwisp keeps it, or the reason the match cannot be taken.
QString finalText(const Match& match, QString& skip) {
    QString text = fromYaml(match.replace);
    if (!skip.isEmpty()) {
        return text;
    }
    if (!match.varsOurs) {
        skip = kUsesVariables;
        return text;
    }
    QString result;
    qsizetype done = 0;
    auto found = EspansoVars::pattern().globalMatch(text);
    while (found.hasNext()) {
        const auto variable = found.next();
        const QString name = variable.captured(1);
        if (!match.declared.contains(name)) {
            skip = kUsesVariables;
            return text;
        }
        result += QStringView(text).mid(done, variable.capturedStart() - done);
        result += name == EspansoVars::kDateName   ? EspansoVars::kDatePlaceholder
                  : name == EspansoVars::kTimeName ? EspansoVars::kTimePlaceholder
                                                   : EspansoVars::kBraces;
        done = variable.capturedEnd();
    }
    result += QStringView(text).mid(done);
    return result.remove(EspansoVars::kCursorHint);
}

QString manifestName(const QString& folder) {
    QFile file(QDir(folder).filePath(kManifestFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QByteArray source = file.readAll();
    if (YamlSource::prepare(source) >= 0) {
        return QString();
    }
    try {
        const auto name = YamlSource::lookup(YAML::Load(source.toStdString()), "name");
        return name ? scalarOrEmpty(*name).trimmed() : QString();
    } catch (const std::exception&) {
        return QString(); // a broken manifest only costs the nicer name
    }
}

QString category(const QString& absolutePath) {
    const QFileInfo info(absolutePath);
    if (info.fileName() != kPackageFile) {
        return info.completeBaseName();
    }
    if (const QString name = manifestName(info.absolutePath()); !name.isEmpty()) {
        return name;
    }
    for (QDir dir = info.absoluteDir();;) {
        if (!kVersionFolder.match(dir.dirName()).hasMatch() && !dir.dirName().isEmpty()) {
            return dir.dirName();
        }
        if (!dir.cdUp()) {
            return kFallbackPackageName;
        }
    }
}

// Reads one file into result; false with result.error set when it cannot be read.
bool readFile(const QString& absolutePath, const QString& relativePath, ImportRead& result) {
    QFile file(absolutePath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = relativePath + QStringLiteral(": ") + file.errorString();
        return false;
    }
    QByteArray source = file.readAll();
    if (const int badLine = YamlSource::prepare(source); badLine >= 0) {
        result.error = QStringLiteral("%1:%2: not UTF-8 text").arg(relativePath).arg(badLine + 1);
        return false;
    }
    QList<Match> matches;
    try {
        matches = readMatches(source);
        repairKeepFolded(source, matches);
    } catch (const YAML::Exception& e) {
        result.error = e.mark.is_null()
                           ? QStringLiteral("%1: %2").arg(relativePath, fromYaml(e.msg))
                           : QStringLiteral("%1:%2: %3").arg(relativePath).arg(e.mark.line + 1).arg(fromYaml(e.msg));
        return false;
    } catch (const std::exception& e) {
        result.error = relativePath + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
        return false;
    }
    const QString name = matches.isEmpty() ? QString() : category(absolutePath);
    for (const Match& match : matches) {
        QString skip = match.skip;
        const QString text = finalText(match, skip);
        for (const QString& trigger : match.triggers) {
            result.items << ImportItem{name, trigger, text, relativePath, match.line, skip};
        }
    }
    return true;
}

bool isMatchFile(const QString& name) {
    return std::any_of(kMatchFileSuffixes.begin(), kMatchFileSuffixes.end(),
                       [&](const QString& suffix) { return name.endsWith(suffix); });
}

} // namespace

ImportRead EspansoReader::read(const QString& path) {
    ImportRead result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = SourceFiles::missingPath(path);
        return result;
    }
    if (!info.isDir()) {
        readFile(info.absoluteFilePath(), info.fileName(), result);
        return result;
    }
    const QDir root(info.absoluteFilePath());
    QStringList relativePaths;
    // Symbolic links to folders are not followed: a link back up the tree would never end.
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (isMatchFile(it.fileName())) {
            relativePaths << root.relativeFilePath(file);
        }
    }
    if (relativePaths.isEmpty()) {
        result.error = path + QStringLiteral(": no espanso match files");
        return result;
    }
    std::sort(relativePaths.begin(), relativePaths.end(), SourceFiles::byteLess);
    for (const QString& relative : relativePaths) {
        if (!readFile(root.filePath(relative), relative, result)) {
            result.items.clear();
            return result;
        }
    }
    return result;
}
