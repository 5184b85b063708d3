#include "exchange/AutoKeyReader.h"
#include "exchange/BeeftextReader.h"
#include "exchange/CsvReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray phraseMetadata(const QByteArray& abbreviations) {
    return R"({"type": "phrase", "abbreviation": {"abbreviations": [)" + abbreviations + R"(], "backspace": true}})";
}

// One line per item: what the import sees of it.
QStringList summary(const ImportRead& read) {
    QStringList lines;
    for (const ImportItem& item : read.items) {
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(item.category, item.trigger, item.file)
                     .arg(item.line)
                     .arg(item.skip);
    }
    return lines;
}

QByteArray combo(const QByteArray& keyword, const QByteArray& snippet, const QByteArray& group) {
    return R"({"enabled": true, "group": ")" + group + R"(", "keyword": ")" + keyword + R"(", "snippet": ")" + snippet +
           R"("})";
}

} // namespace

class OtherFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void autoKeyFolders() {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("data"));
        // Written out of order: the result must come in the byte order of the paths all the same.
        write(data + "/My Phrases/Addresses/home.txt", "1 Main St\n");
        write(data + "/My Phrases/Addresses/.home.json", phraseMetadata(R"("adr", "addr")"));
        write(data + "/My Phrases/.folder.json", R"({"type": "folder"})");
        write(data + "/My Phrases/sig.txt", "Regards\r\nAnn");
        write(data + "/My Phrases/.sig.json",
              R"({"type": "phrase", "abbreviation": {"abbreviation": "sig", "backspace": true}})");
        write(data + "/My Phrases/Hotkey only.txt", "x");
        write(data + "/My Phrases/.Hotkey only.json", phraseMetadata(""));
        write(data + "/My Phrases/No metadata.txt", "y");
        write(data + "/My Phrases/broken.txt", "z");
        write(data + "/My Phrases/.broken.json", R"({"type": "phrase", "abbreviation": {"abbreviations": [)");
        write(data + "/My Phrases-2/.date.json", R"({"type": "script", "abbreviation": {"abbreviations": ["d"]}})");
        write(data + "/My Phrases-2/date.py", "print(1)\n");
        write(data + "/My Phrases-2/x.txt", "x");
        write(data + "/My Phrases-2/.x.json", phraseMetadata(R"("x")"));
        write(data + "/hotkey_list.txt", "a note beside the folders\n");
        write(data + "/.hidden/.p.json", phraseMetadata(R"("p")"));
        write(data + "/.hidden/p.txt", "p");

        const ImportRead read = AutoKeyReader::read(data);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(summary(read), QStringList({
                                    "My Phrases-2|x|My Phrases-2/x.txt|0|",
                                    "My Phrases - Addresses|adr|My Phrases/Addresses/home.txt|0|",
                                    "My Phrases - Addresses|addr|My Phrases/Addresses/home.txt|0|",
                                    "My Phrases|Hotkey only|My Phrases/Hotkey only.txt|0|no abbreviation",
                                    "My Phrases|No metadata|My Phrases/No metadata.txt|0|no abbreviation",
                                    "My Phrases|broken|My Phrases/.broken.json|0|malformed",
                                    "My Phrases|sig|My Phrases/sig.txt|0|",
                                }));
        QCOMPARE(read.items.at(1).text, QStringLiteral("1 Main St\n"));
        QCOMPARE(read.items.at(6).text, QStringLiteral("Regards\r\nAnn"));

        // A category folder imported on its own lends its name to the phrases directly in it.
        const ImportRead one = AutoKeyReader::read(data + "/My Phrases/Addresses");
        QCOMPARE(summary(one).value(0), QStringLiteral("Addresses|adr|home.txt|0|"));

        QCOMPARE(AutoKeyReader::read(dir.filePath("nothing")).error,
                 dir.filePath("nothing") + ": no such file or folder");
    }

    void autoKeyMacros_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("macro");
        QTest::newRow("cursor") << "(<cursor>)" << true;
        QTest::newRow("date with format") << "<date format=%d.%m.%Y>" << true;
        QTest::newRow("script") << R"(<script name='x' args=''>)" << true;
        QTest::newRow("clipboard") << "<clipboard>" << true;
        QTest::newRow("key, any case") << "</tt><LEFT>" << true;
        QTest::newRow("hotkey combination") << "<ctrl>+<left>" << true;
        QTest::newRow("function key") << "<f12>" << true;
        QTest::newRow("key code") << "<code 94>code>" << true;
        QTest::newRow("number pad") << "<np_add>" << true;
        QTest::newRow("comparison") << "a < b and c > d" << false;
        QTest::newRow("html") << "<div><code></code><tt>;)</tt></div>" << false;
        QTest::newRow("heart") << "I <3 u" << false;
        QTest::newRow("key name as a word") << "<left-aligned> <f13x> <dates>" << false;
        QTest::newRow("empty brackets") << "<>" << false;
    }
    void autoKeyMacros() {
        QFETCH(QString, text);
        QFETCH(bool, macro);
        QCOMPARE(AutoKeyReader::usesMacros(text), macro);
    }

    void beeftextCombos() {
        QTemporaryDir dir;
        const QString file = dir.filePath("comboList.json");
        write(file, "{\n\"combos\": [\n" + combo("sig", R"(Best,\nAnn\n)", "{g1}") + ",\n" +
                        combo("lost", "no group it knows", "{gone}") + ",\n" +
                        "{\"enabled\": false, \"keyword\": \"off\", \"snippet\": \"\\\"keyword\\\": trap\"}" + ",\n" +
                        combo("clip", "#{clipboard}", "{g1}") + ",\n" + combo("n", "5", "{g2}") +
                        "\n],\n\"groups\": [{\"uuid\": \"{g1}\", \"name\": \"Letters\"}, {\"uuid\": \"{g2}\", "
                        "\"name\": \"Grüße\"}],\n\"fileFormatVersion\": 10\n}\n");
        const ImportRead read = BeeftextReader::read(file);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(summary(read), QStringList({
                                    "Letters|sig|comboList.json|3|",
                                    "Beeftext|lost|comboList.json|4|",
                                    "Beeftext|off|comboList.json|5|",
                                    "Letters|clip|comboList.json|6|uses variables",
                                    "Grüße|n|comboList.json|7|",
                                }));
        QCOMPARE(read.items.at(0).text, QStringLiteral("Best,\nAnn\n"));

        // Format 1 named the fields differently and had no groups.
        write(file, R"({"combos": [{"comboText": "old", "substitutionText": "text"}]})");
        QCOMPARE(summary(BeeftextReader::read(file)), QStringList({"Beeftext|old|comboList.json|1|"}));

        write(file, "{\n  \"combos\": [\n    {\"keyword\": \"a\",,}\n  ]\n}\n");
        QVERIFY(BeeftextReader::read(file).error.startsWith("comboList.json:3: "));
        write(file, R"({"groups": []})");
        QVERIFY(!BeeftextReader::read(file).error.isEmpty());
        write(file, "#{date}");
        QVERIFY(BeeftextReader::read(file).error.startsWith("comboList.json:1: "));
    }

    void beeftextVariables_data() {
        QTest::addColumn<QByteArray>("snippet");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("skip");
        QTest::newRow("date and time") << QByteArray("On #{date} at #{time}.") << "On [date] at [time]."
                                       << "";
        QTest::newRow("cursor goes") << QByteArray("(#{cursor})") << "()"
                                     << "";
        QTest::newRow("outside a variable all is literal") << QByteArray(R"(\\#\\{ #{x )") << R"(\#\{ #{x )"
                                                           << "";
        QTest::newRow("format") << QByteArray("#{dateTime:dd/MM}") << "#{dateTime:dd/MM}"
                                << "uses variables";
        QTest::newRow("input") << QByteArray("#{input:Name}") << "#{input:Name}"
                               << "uses variables";
    }
    void beeftextVariables() {
        QFETCH(QByteArray, snippet);
        QFETCH(QString, text);
        QFETCH(QString, skip);
        QTemporaryDir dir;
        write(dir.filePath("comboList.json"), R"({"combos": [)" + combo("k", snippet, "") + "]}");
        const ImportRead read = BeeftextReader::read(dir.filePath("comboList.json"));
        QCOMPARE(read.items.size(), 1);
        QCOMPARE(read.items.at(0).text, text);
        QCOMPARE(read.items.at(0).skip, skip);
    }

    void csvRows() {
        QTemporaryDir dir;
        const QString file = dir.filePath("my.keys.csv");
        write(file, "\xEF\xBB\xBFKEYWORD,Text\r\n"
                    "addr,\"12 Quay St, Dublin\"\r\n"
                    "sig,\"Kind regards,\r\nSam\"\r\n"
                    "\r\n"
                    "q,\"He said \"\"hi\"\"\",Chat\r"
                    "tab, \tx ,\r\n"
                    "lone\n"
                    "a,b,c,d\n"
                    ",empty keyword\n"
                    "last,\"two\nlines\n\"");
        const ImportRead read = CsvReader::read(file);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(summary(read), QStringList({
                                    "my.keys|addr|my.keys.csv|2|",
                                    "my.keys|sig|my.keys.csv|3|",
                                    "Chat|q|my.keys.csv|6|",
                                    "my.keys|tab|my.keys.csv|7|",
                                    "my.keys|lone|my.keys.csv|8|malformed",
                                    "c|a|my.keys.csv|9|malformed",
                                    "my.keys||my.keys.csv|10|",
                                    "my.keys|last|my.keys.csv|11|",
                                }));
        QCOMPARE(read.items.at(0).text, QStringLiteral("12 Quay St, Dublin"));
        QCOMPARE(read.items.at(1).text, QStringLiteral("Kind regards,\r\nSam"));
        QCOMPARE(read.items.at(2).text, QStringLiteral("He said \"hi\""));
        QCOMPARE(read.items.at(3).text, QStringLiteral(" \tx "));
        QCOMPARE(read.items.at(7).text, QStringLiteral("two\nlines\n"));

        // Only the first row can be a header.
        write(file, "a,b\nkeyword,k\n");
        QCOMPARE(CsvReader::read(file).items.size(), 2);
    }

    void csvErrors() {
        QTemporaryDir dir;
        const QString file = dir.filePath("k.csv");
        write(file, "a,b\nc,\"open\nstill open\n");
        ImportRead read = CsvReader::read(file);
        QCOMPARE(read.error, QStringLiteral("k.csv:2: a quoted field is never closed"));
        QVERIFY(read.items.isEmpty());

        // An overlong encoding of '/' and a lone surrogate are not UTF-8, however they decode elsewhere.
        write(file, "a,b\r\nc,\xC0\xAF\r\n");
        QCOMPARE(CsvReader::read(file).error, QStringLiteral("k.csv:2: not valid UTF-8"));
        write(file, "a,b\rc,d\r\xED\xA0\x80,x");
        QCOMPARE(CsvReader::read(file).error, QStringLiteral("k.csv:3: not valid UTF-8"));
    }
};

QTEST_GUILESS_MAIN(OtherFormatsTest)
#include "OtherFormatsTest.moc"
