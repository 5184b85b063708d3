#include "exchange/StoreImport.h"
#include "exchange/ImportPlan.h"
#include "exchange/NewKeyFiles.h"
#include "exchange/StoreExport.h"

#include "ReadOnlyFolder.h"
#include "TestStore.h"

#include <QTest>

namespace {
ImportItem item(const QString& trigger, const QString& category = QStringLiteral("Work"), const QString& skip = {}) {
    return {category, trigger, QStringLiteral("text of ") + trigger, QStringLiteral("in.csv"), 1, skip};
}

struct Planned {
    QString category, name, skip;
    bool renamed;
};

QList<Planned> plan(const QList<ImportItem>& items, const QString& into = {},
                    const QHash<QString, QStringList>& store = {}) {
    const ImportPlan made(items, into, store.keys(), [&store](const QString& c) { return store.value(c); });
    QList<Planned> out;
    for (const ImportPlan::Decision& d : made.decisions())
        out.append({d.category, d.name, d.skip, d.renamed});
    return out;
}

// A CSV file in the test's folder; the reader of that format is the simplest way into a whole import.
QString csv(const QTemporaryDir& dir, const QByteArray& bytes, const QString& name = QStringLiteral("in.csv")) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}
} // namespace

// What an import makes of the keys it reads, and what it does to the store: never more than it says.
class StoreImportTest : public QObject {
    Q_OBJECT
private slots:
    void namesFollowTheStoreRules() {
        // Characters a file name cannot hold go, and so do leading dots; what is left decides.
        QCOMPARE(ImportPlan::cleanName(QStringLiteral(":sig")), QStringLiteral("sig"));
        QCOMPARE(ImportPlan::cleanName(QStringLiteral("..O")), QStringLiteral("O"));
        QCOMPARE(ImportPlan::cleanName(QStringLiteral("../../etc/passwd")), QStringLiteral("etcpasswd"));
        QCOMPARE(ImportPlan::cleanName(QStringLiteral("a\\b|c\t")), QStringLiteral("abc"));
        QCOMPARE(ImportPlan::cleanName(QStringLiteral("caf\u00e9 \U0001F600")), QStringLiteral("caf\u00e9 \U0001F600"));
        QCOMPARE(ImportPlan::cleanName(QString(QChar(0xD800)) + u'x'), QStringLiteral("x"));
        QVERIFY(ImportPlan::cleanName(QStringLiteral("...")).isEmpty());
        QVERIFY(ImportPlan::cleanName(QStringLiteral(": :")).isEmpty());
        QCOMPARE(ImportPlan::categoryName(QStringLiteral("/")), QStringLiteral("Imported"));
        QCOMPARE(ImportPlan::categoryName(QStringLiteral("cat.INI")), QStringLiteral("cat.INI (imported)"));
    }

    void planDecidesEachKey() {
        const QList<Planned> decided = plan(
            {item(QStringLiteral(":sig")), item(QStringLiteral("Sig")), item(QStringLiteral("memo")),
             item(QStringLiteral("addr"), QStringLiteral("work")), item(QStringLiteral("::")),
             item(QStringLiteral(":x"), QStringLiteral("Work"), QStringLiteral("uses variables")),
             item(QStringLiteral("x")), item(QString(300, u'k')), item(QStringLiteral("brb"), QStringLiteral("a/b"))},
            {}, {{QStringLiteral("WORK"), {QStringLiteral("Memo")}}});
        // Renamed and imported, into the category the store spells its own way.
        QCOMPARE(decided[0].name, QStringLiteral("sig"));
        QCOMPARE(decided[0].category, QStringLiteral("WORK"));
        QVERIFY(decided[0].renamed && decided[0].skip.isEmpty());
        // Names compare without regard to case: within the import and against the store.
        QCOMPARE(decided[1].skip, QStringLiteral("clash"));
        QCOMPARE(decided[2].skip, QStringLiteral("exists"));
        QVERIFY(decided[3].skip.isEmpty());
        QCOMPARE(decided[4].skip, QStringLiteral("empty name"));
        // A key the reader left out takes no name: a later one of the same name is imported.
        QCOMPARE(decided[5].skip, QStringLiteral("uses variables"));
        QVERIFY(decided[6].skip.isEmpty());
        QCOMPARE(decided[7].skip, QStringLiteral("name too long"));
        QCOMPARE(decided[8].category, QStringLiteral("ab"));

        const QList<Planned> into =
            plan({item(QStringLiteral("a"), QStringLiteral("One")), item(QStringLiteral("A"), QStringLiteral("Two"))},
                 QStringLiteral("Mine"));
        QCOMPARE(into[0].category, QStringLiteral("Mine"));
        QCOMPARE(into[1].skip, QStringLiteral("clash"));
    }

    void textsAreStoredAsTheEditorSavesThem() {
        QCOMPARE(StoreImport::keyFileText(QStringLiteral("a\nb")), QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(StoreImport::keyFileText(QStringLiteral("a\r\nb\rc\n")), QStringLiteral("a\r\nb\r\nc\r\n\r\n"));
        QCOMPARE(StoreImport::keyFileText(QString()), QStringLiteral("\r\n"));
        QCOMPARE(StoreImport::keyFileText(QStringLiteral("\n\n")), QStringLiteral("\r\n\r\n\r\n"));
    }

    void newFilesNeverReplace() {
        TestStore store;
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "mine\r\n");
        NewKeyFiles files;
        QVERIFY(files.stage(store.path(QStringLiteral("Work/memo")), "imported\r\n"));
        QVERIFY(files.stage(store.path(QStringLiteral("Work/new")), "new\r\n"));
        const QList<NewKeyFiles::Result> results = files.commit();
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].placed, NewKeyFiles::Placed::Exists);
        QCOMPARE(results[1].placed, NewKeyFiles::Placed::Done);
        QCOMPARE(store.bytes(QStringLiteral("Work/memo")), QByteArray("mine\r\n"));
        QCOMPARE(store.bytes(QStringLiteral("Work/new")), QByteArray("new\r\n"));
        // No temporary is left, and a staged key dropped uncommitted leaves nothing either.
        QCOMPARE(store.entries(QStringLiteral("Work")), QStringList({QStringLiteral("memo"), QStringLiteral("new")}));
        {
            NewKeyFiles dropped;
            QVERIFY(dropped.stage(store.path(QStringLiteral("Work/later")), "x"));
        }
        QCOMPARE(store.entries(QStringLiteral("Work")).size(), 2);
    }

    void importWritesOnlyWhatItReports() {
        TestStore store;
        store.key(QStringLiteral("Chat"), QStringLiteral("brb"), "my own\r\n");
        QTemporaryDir dir;
        const QString source = csv(dir, "brb,be right back,Chat\n:omw,on my way,Chat\n..,dots,Chat\nsig,\"Kind\n"
                                        "*/regards\n\",Mail\nSig,again,Mail\n");

        const StoreImport::Outcome dry = StoreImport::run(source, store.root(), {{}, true});
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(dry.report,
                 QStringList({QStringLiteral("Chat: 1 would import"), QStringLiteral("Mail: 1 would import"),
                              QStringLiteral("would import 2 keys into 2 categories, skipped 3, renamed 1")}));
        QCOMPARE(store.entries(), QStringList({QStringLiteral("Chat")}));

        const StoreImport::Outcome done = StoreImport::run(source, store.root(), {});
        QCOMPARE(done.report.value(done.report.size() - 1),
                 QStringLiteral("imported 2 keys into 2 categories, skipped 3, renamed 1"));
        QCOMPARE(done.problems, QStringList({QStringLiteral("in.csv:1: 'brb': exists"),
                                             QStringLiteral("in.csv:2: renamed ':omw' -> 'omw'"),
                                             QStringLiteral("in.csv:3: '..': empty name"),
                                             QStringLiteral("in.csv:4: 'sig': imported, but its lines starting "
                                                            "with */ are comments here and are not pasted"),
                                             QStringLiteral("in.csv:7: 'Sig': clash")}));
        QCOMPARE(store.bytes(QStringLiteral("Chat/brb")), QByteArray("my own\r\n"));
        QCOMPARE(store.bytes(QStringLiteral("Chat/omw")), QByteArray("on my way\r\n"));
        QCOMPARE(store.bytes(QStringLiteral("Mail/sig")), QByteArray("Kind\r\n*/regards\r\n\r\n"));

        // Again: everything exists now, and nothing changes.
        const StoreImport::Outcome again = StoreImport::run(source, store.root(), {});
        QCOMPARE(again.report,
                 QStringList({QStringLiteral("imported 0 keys into 0 categories, skipped 5, renamed 0")}));
        QCOMPARE(store.bytes(QStringLiteral("Chat/omw")), QByteArray("on my way\r\n"));
    }

    void sourcesThatCannotBeReadChangeNothing() {
        TestStore store;
        QTemporaryDir dir;
        QCOMPARE(StoreImport::run(dir.filePath(QStringLiteral("missing.csv")), store.root(), {}).exitCode, 1);
        const StoreImport::Outcome broken = StoreImport::run(csv(dir, "a,b\nc,\"never closed\n"), store.root(), {});
        QCOMPARE(broken.exitCode, 1);
        QVERIFY2(broken.problems.value(0).startsWith(QStringLiteral("in.csv:2:")),
                 qPrintable(broken.problems.value(0)));
        const StoreImport::Outcome unknown =
            StoreImport::run(csv(dir, "hello", QStringLiteral("notes.txt")), store.root(), {});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(store.entries().isEmpty());
    }

    void aStoreThatRefusesWritesIsReported() {
        TestStore store;
        store.key(QStringLiteral("Chat"), QStringLiteral("old"), "x");
        QTemporaryDir dir;
        const QString source = csv(dir, "a,1,Chat\nb,2,Chat\n");
        ReadOnlyFolder readOnly(store.path(QStringLiteral("Chat")));
        if (!readOnly.held())
            QSKIP("running with rights that ignore folder permissions");
        const StoreImport::Outcome outcome = StoreImport::run(source, store.root(), {});
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(outcome.report.value(outcome.report.size() - 1),
                 QStringLiteral("imported 0 keys into 0 categories, skipped 2, renamed 0"));
        QVERIFY2(
            outcome.problems.value(outcome.problems.size() - 1).contains(QStringLiteral("could not write the key 'a'")),
            qPrintable(outcome.problems.join(u'\n')));
        QCOMPARE(store.entries(QStringLiteral("Chat")), QStringList({QStringLiteral("old")}));
    }

    void exportReplacesOnlyItsOwnFiles() {
        TestStore store;
        store.key(QStringLiteral("Work"), QStringLiteral("sig"), "Best regards\r\n*/ mine\r\n");
        store.key(QStringLiteral("base"), QStringLiteral("addr"), "12 Quay Street\r\n");
        store.category(QStringLiteral("Empty"));
        QTemporaryDir out;
        QCOMPARE(StoreExport::toEspanso(store.root(), out.path()).exitCode, 0);
        QFile own(out.filePath(QStringLiteral("base.yml")));
        QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
        own.write("matches:\n  - trigger: \":mine\"\n    replace: \"an espanso user's own\"\n");
        own.close();
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "later\r\n");

        const StoreExport::Outcome again = StoreExport::toEspanso(store.root(), out.path());
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(again.report, QStringList({QStringLiteral("Work: 2 exported"),
                                            QStringLiteral("exported 2 keys from 1 categories into ") + out.path()}));
        QVERIFY(own.open(QIODevice::ReadOnly));
        QVERIFY(own.readAll().contains("an espanso user's own"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("base.yml"), QStringLiteral("Work.yml")}));
    }
};

QTEST_GUILESS_MAIN(StoreImportTest)
#include "StoreImportTest.moc"
