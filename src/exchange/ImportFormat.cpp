#include "exchange/ImportFormat.h"

#include "exchange/AutoKeyReader.h"
#include "exchange/BeeftextReader.h"
#include "exchange/CsvReader.h"
#include "exchange/EspansoReader.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
// Enough of a file to tell its format, and of a folder's tree to find what it holds.
constexpr qint64 kSniffBytes = 64 * 1024;
constexpr int kSniffEntries = 20000;

bool hasYamlSuffix(const QString& name) {
    return name.endsWith(QLatin1String(".yml"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".yaml"), Qt::CaseInsensitive);
}

ImportFormat::Kind detectFolder(const QString& folder) {
    bool yaml = false;
    int seen = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext() && seen++ < kSniffEntries) {
        it.next();
        const QString name = it.fileName();
        // AutoKey keeps each item's settings in a hidden JSON file beside it, and a folder's in .folder.json.
        if (name.startsWith(u'.') && name.endsWith(QLatin1String(".json")) &&
            (name == QLatin1String(".folder.json") ||
             QFileInfo::exists(it.fileInfo().path() + u'/' + name.mid(1, name.size() - 6) + QStringLiteral(".txt"))))
            return ImportFormat::Kind::AutoKey;
        yaml = yaml || hasYamlSuffix(name);
    }
    return yaml ? ImportFormat::Kind::Espanso : ImportFormat::Kind::Unknown;
}

ImportFormat::Kind detectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return hasYamlSuffix(path) ? ImportFormat::Kind::Espanso : ImportFormat::Kind::Unknown;
    QByteArray head = file.read(kSniffBytes);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const QByteArray trimmed = head.trimmed();
    if (trimmed.startsWith('{') && head.contains("\"combos\""))
        return ImportFormat::Kind::Beeftext;
    static const QRegularExpression matches(QStringLiteral("^matches\\s*:"), QRegularExpression::MultilineOption);
    if (hasYamlSuffix(path) || matches.match(QString::fromUtf8(head)).hasMatch())
        return ImportFormat::Kind::Espanso;
    // A CSV file has no mark of its own beyond its name.
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return ImportFormat::Kind::Csv;
    return ImportFormat::Kind::Unknown;
}
} // namespace

ImportFormat::Kind ImportFormat::detect(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return detectFolder(path);
    if (info.isFile())
        return detectFile(path);
    return Kind::Unknown;
}

ImportRead ImportFormat::read(Kind kind, const QString& path) {
    switch (kind) {
    case Kind::Espanso:
        return EspansoReader::read(path);
    case Kind::AutoKey:
        return AutoKeyReader::read(path);
    case Kind::Beeftext:
        return BeeftextReader::read(path);
    case Kind::Csv:
        return CsvReader::read(path);
    case Kind::Unknown:
        break;
    }
    ImportRead unknown;
    unknown.error = path + QStringLiteral(": not a format Wordwisp can import");
    return unknown;
}
