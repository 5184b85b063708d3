#include "exchange/StoreExport.h"

#include "exchange/EspansoWriter.h"
#include "expand/ExpansionText.h"
#include "platform/TextFile.h"
#include "store/StoreListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr int kExitFailed = 1;

// A file of that name that the export did not write (an espanso match file of the user's, with the same
// name as a category) is left alone.
bool isOurs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mark = EspansoWriter::kFirstLine.toUtf8();
    return file.read(mark.size()) == mark;
}
} // namespace

StoreExport::Outcome StoreExport::toEspanso(const QString& storeRoot, const QString& folder) {
    Outcome outcome;
    if (!QFileInfo(storeRoot).isDir()) {
        outcome.problems.append(QStringLiteral("wordwisp: there is no store at %1 to export").arg(storeRoot));
        outcome.exitCode = kExitFailed;
        return outcome;
    }
    if (!QDir().mkpath(folder)) {
        outcome.problems.append(QStringLiteral("wordwisp: could not make the folder %1").arg(folder));
        outcome.exitCode = kExitFailed;
        return outcome;
    }
    qsizetype keys = 0, files = 0;
    for (const QString& category : StoreListing::categories(storeRoot)) {
        QList<EspansoWriter::Key> entries;
        for (const QString& name : StoreListing::keys(storeRoot + u'/' + category)) {
            const auto lines = TextFile::readLines(storeRoot + u'/' + category + u'/' + name);
            if (!lines) {
                outcome.problems.append(
                    QStringLiteral("wordwisp: could not read the key '%1' of '%2'; left out").arg(name, category));
                outcome.exitCode = kExitFailed;
                continue;
            }
            EspansoWriter::Key key{name, {}};
            // Comment lines are never pasted, so they are no part of what the key gives.
            for (const QString& line : *lines) {
                if (!ExpansionText::isCommentLine(line))
                    key.lines.append(line);
            }
            entries.append(key);
        }
        if (entries.isEmpty())
            continue;
        const QString path = folder + u'/' + category + QStringLiteral(".yml");
        if (QFileInfo::exists(path) && !isOurs(path)) {
            outcome.problems.append(
                QStringLiteral("wordwisp: %1 exists and was not written by Wordwisp; category '%2' not exported")
                    .arg(path, category));
            outcome.exitCode = kExitFailed;
            continue;
        }
        if (!TextFile::writeAtomic(path, QString::fromUtf8(EspansoWriter::document(entries)))) {
            outcome.problems.append(QStringLiteral("wordwisp: could not write %1").arg(path));
            outcome.exitCode = kExitFailed;
            continue;
        }
        outcome.report.append(QStringLiteral("%1: %2 exported").arg(category).arg(entries.size()));
        keys += entries.size();
        ++files;
    }
    outcome.report.append(QStringLiteral("exported %1 keys from %2 categories into %3")
                              .arg(keys)
                              .arg(files)
                              .arg(QDir::toNativeSeparators(folder)));
    return outcome;
}
