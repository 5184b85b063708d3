#include "exchange/StoreImport.h"

#include "exchange/ImportFormat.h"
#include "exchange/ImportPlan.h"
#include "exchange/NewKeyFiles.h"
#include "platform/TextFile.h"
#include "store/KeyFile.h"
#include "store/StoreListing.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
// Staged keys go to disk together: one sync per this many.
constexpr qsizetype kBatch = 5000;
constexpr int kExitFailed = 1;

// A trigger as a terminal can show it: control characters written out, so that a stray escape sequence
// in a source file cannot garble the report.
QString shown(const QString& text) {
    QString out = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'\'';
}

QString location(const ImportItem& item) {
    return item.line > 0 ? QStringLiteral("%1:%2").arg(item.file).arg(item.line) : item.file;
}

QString problemLine(const ImportItem& item, const ImportPlan::Decision& decision) {
    if (decision.skip.isEmpty())
        return QStringLiteral("%1: renamed %2 -> %3").arg(location(item), shown(item.trigger), shown(decision.name));
    QString reason = decision.skip;
    // The name it would have had, where that name is what clashed.
    if (decision.renamed && !decision.category.isEmpty())
        reason += QStringLiteral(" (as %1)").arg(shown(decision.name));
    return QStringLiteral("%1: %2: %3").arg(location(item), shown(item.trigger), reason);
}

// A line the source pastes but the store takes for a comment: worth a word, since the key will not give
// what it gave there.
bool hasCommentLine(const QString& text) {
    static const QRegularExpression comment(QStringLiteral("(^|[\\r\\n])\\*/"));
    return text.contains(comment);
}

struct Writing {
    QList<ImportPlan::Decision>* decisions;
    NewKeyFiles files;
    QList<qsizetype> staged; // decisions whose keys are staged, in order
    QString failure;

    // Commits what is staged; a key someone made meanwhile under the same name is left alone.
    bool commit() {
        const QList<NewKeyFiles::Result> results = files.commit();
        bool ok = true;
        for (qsizetype i = 0; i < results.size(); ++i) {
            ImportPlan::Decision& decision = (*decisions)[staged.at(i)];
            switch (results.at(i).placed) {
            case NewKeyFiles::Placed::Done:
                break;
            case NewKeyFiles::Placed::Exists:
                decision.skip = QStringLiteral("exists");
                break;
            case NewKeyFiles::Placed::Failed:
                decision.skip = QStringLiteral("not written");
                if (ok)
                    failure = QStringLiteral("could not write the key %1 in %2: %3")
                                  .arg(shown(decision.name), shown(decision.category), files.error());
                ok = false;
                break;
            }
        }
        staged.clear();
        return ok;
    }
};

// Writes the planned keys; on the first failure the rest is marked "not written" and the reason returned.
QString write(const QList<ImportItem>& items, QList<ImportPlan::Decision>& decisions, const QString& storeRoot) {
    Writing writing{&decisions, {}, {}, {}};
    QStringList made;
    qsizetype i = 0;
    for (; i < decisions.size(); ++i) {
        ImportPlan::Decision& decision = decisions[i];
        if (!decision.skip.isEmpty())
            continue;
        const QString folder = storeRoot + u'/' + decision.category;
        if (decision.newCategory && !made.contains(decision.category)) {
            // An existing folder of that name that the listing did not count (a link) is not taken over.
            if (!QDir().mkpath(storeRoot) || !QDir().mkdir(folder)) {
                writing.failure = QStringLiteral("could not make the category %1 in %2")
                                      .arg(shown(decision.category), QDir::toNativeSeparators(storeRoot));
                break;
            }
            made.append(decision.category);
        }
        const QString text = StoreImport::keyFileText(items.at(i).text);
        if (!writing.files.stage(folder + u'/' + decision.name, TextFile::encode(text))) {
            writing.failure = QStringLiteral("could not write the key %1 in %2: %3")
                                  .arg(shown(decision.name), shown(decision.category), writing.files.error());
            break;
        }
        writing.staged.append(i);
        if (writing.staged.size() >= kBatch && !writing.commit()) {
            ++i;
            break;
        }
    }
    // What was staged before a failure is complete and goes in; the rest does not.
    const bool stopped = !writing.failure.isEmpty();
    if (!writing.commit() || stopped) {
        for (; i < decisions.size(); ++i) {
            if (decisions[i].skip.isEmpty())
                decisions[i].skip = QStringLiteral("not written");
        }
    }
    return writing.failure;
}
} // namespace

QString StoreImport::keyFileText(const QString& text) {
    QString lines;
    lines.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            lines += TextFile::kLineEnd;
        } else {
            lines += c;
        }
    }
    return KeyFile::saveFormat(lines);
}

StoreImport::Outcome StoreImport::run(const QString& source, const QString& storeRoot, const Options& options) {
    Outcome outcome;
    if (!QFileInfo::exists(source)) {
        outcome.problems.append(QStringLiteral("%1: no such file or folder").arg(source));
        outcome.exitCode = kExitFailed;
        return outcome;
    }
    const ImportFormat::Kind kind = ImportFormat::detect(source);
    if (kind == ImportFormat::Kind::Unknown) {
        outcome.problems.append(
            QStringLiteral("%1: neither an espanso, AutoKey or Beeftext file or folder nor a CSV file").arg(source));
        outcome.exitCode = kExitFailed;
        return outcome;
    }
    const ImportRead read = ImportFormat::read(kind, source);
    if (!read.error.isEmpty()) {
        outcome.problems.append(read.error);
        outcome.exitCode = kExitFailed;
        return outcome;
    }

    const ImportPlan plan(
        read.items, options.into, StoreListing::categories(storeRoot),
        [&storeRoot](const QString& category) { return StoreListing::keys(storeRoot + u'/' + category); });
    QList<ImportPlan::Decision> decisions = plan.decisions();
    QString failure;
    if (!options.dryRun)
        failure = write(read.items, decisions, storeRoot);

    QStringList categories;
    QHash<QString, qsizetype> imported;
    qsizetype total = 0, skipped = 0, renamed = 0;
    for (qsizetype i = 0; i < decisions.size(); ++i) {
        const ImportPlan::Decision& decision = decisions.at(i);
        if (!decision.skip.isEmpty()) {
            ++skipped;
            // A key the failure kept from being written is told once, in the failure's line.
            if (decision.skip != QLatin1String("not written"))
                outcome.problems.append(problemLine(read.items.at(i), decision));
            continue;
        }
        ++total;
        if (!imported.contains(decision.category))
            categories.append(decision.category);
        ++imported[decision.category];
        if (decision.renamed) {
            ++renamed;
            outcome.problems.append(problemLine(read.items.at(i), decision));
        }
        if (hasCommentLine(read.items.at(i).text))
            outcome.problems.append(QStringLiteral("%1: %2: imported, but its lines starting with */ are comments "
                                                   "here and are not pasted")
                                        .arg(location(read.items.at(i)), shown(decision.name)));
    }
    const QString verb = options.dryRun ? QStringLiteral("would import") : QStringLiteral("imported");
    for (const QString& category : categories)
        outcome.report.append(QStringLiteral("%1: %2 %3").arg(category).arg(imported.value(category)).arg(verb));
    outcome.report.append(QStringLiteral("%1 %2 keys into %3 categories, skipped %4, renamed %5")
                              .arg(verb)
                              .arg(total)
                              .arg(categories.size())
                              .arg(skipped)
                              .arg(renamed));
    if (!failure.isEmpty()) {
        outcome.problems.append(
            QStringLiteral("wordwisp: %1; the import stopped there, %2 keys were written").arg(failure).arg(total));
        outcome.exitCode = kExitFailed;
    }
    return outcome;
}
