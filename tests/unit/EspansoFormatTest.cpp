#include "exchange/EspansoReader.h"
#include "exchange/EspansoWriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

void put(const QTemporaryDir& dir, const QString& relative, const QByteArray& bytes) {
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ImportRead readOne(const QByteArray& yaml) {
    QTemporaryDir dir;
    put(dir, QStringLiteral("m.yml"), yaml);
    return EspansoReader::read(dir.filePath(QStringLiteral("m.yml")));
}

QString single(const QByteArray& yaml) {
    const ImportRead read = readOne(yaml);
    return read.error.isEmpty() && read.items.size() == 1 && read.items[0].skip.isEmpty() ? read.items[0].text
                                                                                          : QStringLiteral("<none>");
}

} // namespace

class EspansoFormatTest : public QObject {
    Q_OBJECT
private slots:
    void skipReasons_data() {
        QTest::addColumn<QByteArray>("match");
        QTest::addColumn<QStringList>("triggers");
        QTest::addColumn<QString>("skip");
        const QStringList a{QStringLiteral("a")};
        QTest::newRow("plain") << QByteArray("trigger: a\n    replace: x") << a << QString();
        QTest::newRow("vars") << QByteArray("trigger: a\n    replace: x\n    vars: [{name: v, type: echo}]") << a
                              << "uses variables";
        QTest::newRow("global var") << QByteArray("trigger: a\n    replace: '{{ clip }}'") << a << "uses variables";
        QTest::newRow("unicode var") << QByteArray("trigger: a\n    replace: '{{dirección}}'") << a << "uses variables";
        QTest::newRow("kaomoji") << QByteArray("trigger: a\n    replace: '{{ (>_<) }}'") << a << QString();
        QTest::newRow("other date format")
            << QByteArray("trigger: a\n    replace: '{{date}}'\n    vars: [{name: date, type: date, params: "
                          "{format: '%d'}}]")
            << a << "uses variables";
        QTest::newRow("regex") << QByteArray("regex: '(?P<n>\\d+)x'\n    replace: y") << QStringList{"(?P<n>\\d+)x"}
                               << "regex trigger";
        QTest::newRow("markdown") << QByteArray("trigger: a\n    markdown: '**x**'") << a << "rich text";
        QTest::newRow("html beside replace")
            << QByteArray("trigger: a\n    replace: x\n    html: <b>x</b>") << a << "rich text";
        QTest::newRow("image") << QByteArray("trigger: a\n    image_path: /x.png") << a << "rich text";
        QTest::newRow("form") << QByteArray("trigger: a\n    form: 'x [[v]]'") << a << "form";
        QTest::newRow("triggers list") << QByteArray("triggers: [b, a]\n    replace: x") << QStringList{"b", "a"}
                                       << QString();
        QTest::newRow("triggers flow map")
            << QByteArray("triggers: {\"a\", \"b\"}\n    replace: x") << QStringList{QString()} << "malformed";
        QTest::newRow("no trigger") << QByteArray("replace: x") << QStringList{QString()} << "malformed";
        QTest::newRow("no replacement") << QByteArray("trigger: a\n    word: true") << a << "malformed";
    }
    void skipReasons() {
        QFETCH(QByteArray, match);
        QFETCH(QStringList, triggers);
        QFETCH(QString, skip);
        const ImportRead read = readOne("matches:\n  - " + match + "\n    label: ignored\n");
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.items.size(), triggers.size());
        for (qsizetype i = 0; i < triggers.size(); ++i) {
            QCOMPARE(read.items[i].trigger, triggers[i]);
            QCOMPARE(read.items[i].skip, skip);
            QCOMPARE(read.items[i].line, 2);
        }
    }

    void textsComeOutExact_data() {
        QTest::addColumn<QByteArray>("yaml");
        QTest::addColumn<QString>("text");
        const QByteArray head = "matches:\n  - trigger: a\n    replace: ";
        QTest::newRow("|") << head + "|\n      x\n       y\n\n\n    label: z\n"
                           << "x\n y\n";
        QTest::newRow("|-") << head + "|-\n      x\n\n"
                            << "x";
        QTest::newRow("|+") << head + "|+\n      x\n\n\n    label: z\n"
                            << "x\n\n\n";
        QTest::newRow("|2-") << head + "|2-\n        x\n      y\n"
                             << "  x\ny";
        QTest::newRow(">") << head + ">\n      x\n      y\n\n      z\n\n"
                           << "x y\nz\n";
        QTest::newRow(">-") << head + ">-\n      x\n      y\n"
                            << "x y";
        QTest::newRow(">+ blank lines") << head + ">+\n      x\n      y\n\n\n    label: z\n"
                                        << "x y\n\n\n";
        QTest::newRow(">+ at end of file") << head + ">+\n      x\n\n"
                                           << "x\n\n";
        QTest::newRow(">+ aliased") << "a: &k >+\n  x\n\n" + head + "*k\n"
                                    << "x\n\n";
        QTest::newRow("!!str") << head + "!!str yes\n"
                               << "yes";
        QTest::newRow("BOM and CR LF")
            << QByteArray("\xEF\xBB\xBFmatches:\r\n  - trigger: a\r\n    replace: |\r\n      x\r\n\r\n") << "x\n";
        QTest::newRow("lone CR") << head + "|\r      x\r      y\r"
                                 << "x\ny\n";
        QTest::newRow("cursor hint") << head + "'x$|$y'\n"
                                     << "xy";
        QTest::newRow("date and time")
            << head + "'{{date}} {{ time }}'\n    vars:\n      - {name: date, type: date, params: {format: "
                      "'%m-%d-%Y'}}\n      - {name: time, type: date, params: {format: '%H:%M:%S'}}\n"
            << "[date] [time]";
        QTest::newRow("merge keys") << QByteArray("base: &b {replace: merged, trigger: no}\nmore: &m {word: true}\n"
                                                  "matches:\n  - <<: [*m, *b]\n    trigger: a\n")
                                    << "merged";
        QByteArray chain = "m0: &m0 {word: true}\n";
        for (int i = 1; i < 40; ++i) { // each level merges the one below twice
            chain += QStringLiteral("m%1: &m%1 {<<: [*m%2, *m%2]}\n").arg(i).arg(i - 1).toUtf8();
        }
        QTest::newRow("merges of merges") << chain + "matches: [{<<: *m39, trigger: a, replace: x}]\n"
                                          << "x";
    }
    void textsComeOutExact() {
        QFETCH(QByteArray, yaml);
        QFETCH(QString, text);
        QCOMPARE(single(yaml), text);
    }

    void foldersGiveCategoriesInByteOrder() {
        QTemporaryDir dir;
        const QByteArray one = "matches:\n  - trigger: t\n    replace: x\n";
        put(dir, QStringLiteral("b.yml"), "# note\n\n" + one);
        put(dir, QStringLiteral("B.yaml"), one);
        put(dir, QStringLiteral("é.yml"), one);
        put(dir, QStringLiteral("a/z.yml"), one);
        put(dir, QStringLiteral("a/notes.txt"), one);
        put(dir, QStringLiteral("hub/_manifest.yml"), "name: nice-name\nversion: 0.1.0\n");
        put(dir, QStringLiteral("hub/package.yml"), one);
        put(dir, QStringLiteral("foo/0.1.0/package.yml"), one);
        put(dir, QStringLiteral("c.yml"), "imports: [x.yml]\nglobal_vars: []\n");
        const ImportRead read = EspansoReader::read(dir.path());
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QStringList got;
        for (const ImportItem& item : read.items) {
            got << QStringLiteral("%1 %2:%3").arg(item.category, item.file).arg(item.line);
        }
        QCOMPARE(got, QStringList({"B B.yaml:2", "z a/z.yml:2", "b b.yml:4", "foo foo/0.1.0/package.yml:2",
                                   "nice-name hub/package.yml:2", "é é.yml:2"}));
    }

    void laterDocumentsAreMarked() {
        const ImportRead read = readOne("matches: [{trigger: a, replace: x}]\n...\n---\nmatches:\n"
                                        "  - trigger: b\n    replace: y\n---\nother: 1\n");
        QCOMPARE(read.items.size(), 2);
        QCOMPARE(read.items[0].skip, QString());
        QCOMPARE(read.items[1].skip, QStringLiteral("later YAML document"));
        QCOMPARE(read.items[1].line, 5);

        // A comment or a directive before the first "---" is no document of its own.
        const ImportRead opened = readOne("# mine\n%YAML 1.2\n---\nmatches:\n  - trigger: a\n    replace: x\n");
        QCOMPARE(opened.items.size(), 1);
        QCOMPARE(opened.items[0].skip, QString());
        QCOMPARE(opened.items[0].line, 5);
        // A stray ',' at a document's top level made yaml-cpp fill memory with empty documents.
        const ImportRead stray = readOne("matches:\n  - trigger: a\n    replace: x\n---\n\"b\",\n---\n,\n");
        QCOMPARE(stray.items.size(), 1);
        QCOMPARE(readOne("matches: [{trigger: a, replace: x}]").items.size(), 1); // no line break at the end
    }

    void unreadableSourcesAreErrors() {
        QTemporaryDir dir;
        put(dir, QStringLiteral("sub/bad.yml"), "matches:\n  - trigger: [a\n    replace: x\n");
        QCOMPARE(EspansoReader::read(dir.path()).error,
                 QStringLiteral("sub/bad.yml:3: end of sequence flow not found"));
        QVERIFY(readOne("matches:\n  - trigger: a\n    replace: \xC3\x28\n").error.startsWith("m.yml:3:"));
        const QString missing = dir.filePath(QStringLiteral("gone"));
        QCOMPARE(EspansoReader::read(missing).error, missing + ": no such file or folder");
        QTemporaryDir empty;
        put(empty, QStringLiteral("readme.md"), "x");
        QCOMPARE(EspansoReader::read(empty.path()).error, empty.path() + ": no espanso match files");
    }

    void writtenFilesReadBackExactly() {
        QStringList texts{QString(),
                          " lead",
                          "trail ",
                          "a\n\n",
                          "\n\nb\n\n",
                          "# no comment",
                          "a: b",
                          "- item",
                          "---",
                          "'\"\\",
                          "tab\there",
                          "cr\rlf\r\n",
                          QStringLiteral("\u2028\u2029\uFEFF\uFFFE"),
                          QStringLiteral("\uFEFF at the start"),
                          QString(QChar(0)) + "\x01\x7f" + QChar(0x85) + QChar(0x9F),
                          "[date] at [time]",
                          "{{date}} {{ x }} {{{{y}}}} $x{{z}}",
                          "{{ (>_<) }}",
                          "line\n  indented\n\nlast\n",
                          "x\n ",
                          QStringLiteral("😀\n👍")};
        // Random mixes of the awkward pieces, so that they meet each other at line starts and ends too.
        QRandomGenerator random(7);
        const QStringList pieces{" ",
                                 "\n",
                                 "#",
                                 ": ",
                                 "- ",
                                 "{{",
                                 "}}",
                                 "x",
                                 "[date]",
                                 "\t",
                                 "|",
                                 ">",
                                 "\"",
                                 "'",
                                 QStringLiteral("\u2028"),
                                 QString(QChar(1)),
                                 "---",
                                 "é"};
        for (int i = 0; i < 300; ++i) {
            QString text;
            for (int n = random.bounded(8); n >= 0; --n) {
                text += pieces[random.bounded(pieces.size())];
            }
            texts << text;
        }
        QList<EspansoWriter::Key> keys;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            keys << EspansoWriter::Key{texts[(i + 3) % texts.size()] + QString::number(i), texts[i].split('\n')};
        }
        const QByteArray yaml = EspansoWriter::document(keys);
        // Other YAML readers take these raw characters for line breaks or drop them.
        for (char32_t c : QString::fromUtf8(yaml).toUcs4()) {
            QVERIFY(c == '\n' || (c >= ' ' && c != 0x7F && (c < 0x80 || c > 0x9F) && c != 0x2028 && c != 0x2029 &&
                                  c != 0xFEFF && c != 0xFFFE));
        }
        const ImportRead read = readOne(yaml);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.items.size(), keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QCOMPARE(read.items[i].trigger, keys[i].name);
            QCOMPARE(read.items[i].skip, QString());
            QCOMPARE(read.items[i].text, texts[i]);
        }
    }

    void variablesAreDeclaredOnlyWhereUsed() {
        const QByteArray yaml = EspansoWriter::document({{"plain", {"x"}}, {"dated", {"[date]"}}});
        QCOMPARE(yaml.count("vars:"), 1);
        QCOMPARE(yaml.count(EspansoWriter::kDateFormat.toUtf8()), 1);
        QVERIFY(!yaml.contains(EspansoWriter::kTimeFormat.toUtf8()));
        QCOMPARE(single(EspansoWriter::document({})), QStringLiteral("<none>"));
    }
};

QTEST_GUILESS_MAIN(EspansoFormatTest)
#include "EspansoFormatTest.moc"
