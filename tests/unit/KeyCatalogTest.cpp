#include "expand/KeyCatalog.h"

#include <QTest>

// The key picker's search over every key: what a filter matches, in which order, and that narrowing the
// last matches as the user types finds what a search from scratch finds.
class KeyCatalogTest : public QObject {
    Q_OBJECT
private slots:
    void matchesNamesAndTexts();
    void bestFirstAndBounded();
    void typingOnMatchesASearchFromScratch();
    void textsArrivingLater();

private:
    static QStringList shown(KeyCatalog& catalog, const QString& filter, int limit = 50) {
        QStringList rows;
        for (const int index : catalog.filter(filter, limit))
            rows << catalog.entry(index).category + u'/' + catalog.entry(index).key;
        return rows;
    }
    // Work/sig, Work/memo, Other/Addr, Other/ärger, with their texts.
    static void fill(KeyCatalog& catalog) {
        catalog.setText(catalog.add(QStringLiteral("Work"), QStringLiteral("sig")), QStringLiteral("Best regards"));
        catalog.setText(catalog.add(QStringLiteral("Work"), QStringLiteral("memo")),
                        QStringLiteral("Yours\r\nJo Signer"));
        catalog.setText(catalog.add(QStringLiteral("Other"), QStringLiteral("Addr")),
                        QStringLiteral("12 Long Road\r\nTown"));
        catalog.setText(catalog.add(QStringLiteral("Other"), QStringLiteral("ärger")), QStringLiteral("ÜBEL"));
    }
};

void KeyCatalogTest::matchesNamesAndTexts() {
    KeyCatalog catalog;
    fill(catalog);
    // Everything for an empty filter or one of spaces only, in store order.
    QCOMPARE(shown(catalog, QString()), (QStringList{"Work/sig", "Work/memo", "Other/Addr", "Other/ärger"}));
    QCOMPARE(shown(catalog, QStringLiteral("   ")).size(), 4);
    QCOMPARE(catalog.matchCount(), 4);
    // Names and texts, in any case, letters beyond ASCII too; a later line of a text counts.
    QCOMPARE(shown(catalog, QStringLiteral("ADDR")), QStringList{"Other/Addr"});
    QCOMPARE(shown(catalog, QStringLiteral("long r")), QStringList{"Other/Addr"});
    QCOMPARE(shown(catalog, QStringLiteral("town")), QStringList{"Other/Addr"});
    QCOMPARE(shown(catalog, QStringLiteral("übel")), QStringList{"Other/ärger"});
    QCOMPARE(shown(catalog, QStringLiteral("ÄR")), QStringList{"Other/ärger"});
    // Spaces around the filter do not count, spaces inside it do; a filter across the line break is not
    // a text's.
    QCOMPARE(shown(catalog, QStringLiteral("  regards ")), QStringList{"Work/sig"});
    QCOMPARE(shown(catalog, QStringLiteral("best  regards")), QStringList());
    QCOMPARE(shown(catalog, QStringLiteral("Road Town")), QStringList());
    QCOMPARE(catalog.matchCount(), 0);
    // The first line is what a row shows.
    QCOMPARE(catalog.entry(1).firstLine, QStringLiteral("Yours"));
    QCOMPARE(catalog.entry(0).firstLine, QStringLiteral("Best regards"));
}

void KeyCatalogTest::bestFirstAndBounded() {
    KeyCatalog catalog;
    catalog.setText(catalog.add(QStringLiteral("A"), QStringLiteral("note")), QStringLiteral("a sig in the text"));
    catalog.add(QStringLiteral("A"), QStringLiteral("design"));
    catalog.add(QStringLiteral("A"), QStringLiteral("signature"));
    catalog.add(QStringLiteral("B"), QStringLiteral("SIG"));
    // The name itself, names that start with it, names that contain it, texts.
    QCOMPARE(shown(catalog, QStringLiteral("sig")), (QStringList{"B/SIG", "A/signature", "A/design", "A/note"}));
    // Only as many rows as asked for, the best of them; the count still says how many there are.
    QCOMPARE(shown(catalog, QStringLiteral("sig"), 2), (QStringList{"B/SIG", "A/signature"}));
    QCOMPARE(catalog.matchCount(), 4);
    QCOMPARE(shown(catalog, QStringLiteral("sig"), 0), QStringList());

    // A text searched only so far: a key of megabytes costs no more than a short one.
    KeyCatalog big;
    const QString far = QString(KeyCatalog::kMaxSearchedChars, u'x');
    big.setText(big.add(QStringLiteral("C"), QStringLiteral("huge")), far + QStringLiteral("needle"));
    big.setText(big.add(QStringLiteral("C"), QStringLiteral("near")), QStringLiteral("needle"));
    QCOMPARE(shown(big, QStringLiteral("needle")), QStringList{"C/near"});
}

void KeyCatalogTest::typingOnMatchesASearchFromScratch() {
    // Typing on narrows the last matches, deleting starts again: each step must show what a new catalog
    // shows for the same filter, in the same order. A key found by its text ("ref", whose text is "sig")
    // comes before the key of that name in the store, and must stay behind it however it was found.
    const auto make = [](KeyCatalog& catalog) {
        catalog.setText(catalog.add(QStringLiteral("Alpha"), QStringLiteral("ref")), QStringLiteral("sig"));
        fill(catalog);
    };
    KeyCatalog typed;
    make(typed);
    const QStringList steps = {"r", "re", "reg", "re", "r", "ro", "road", "ROAD", "", "s", "si", "sig", "sign"};
    for (const QString& filter : steps) {
        KeyCatalog fresh;
        make(fresh);
        QCOMPARE(shown(typed, filter), shown(fresh, filter));
        QCOMPARE(typed.matchCount(), fresh.matchCount());
    }
    QCOMPARE(shown(typed, QStringLiteral("si")), (QStringList{"Work/sig", "Alpha/ref", "Work/memo"}));
    QCOMPARE(shown(typed, QStringLiteral("sig")), (QStringList{"Work/sig", "Alpha/ref", "Work/memo"}));
}

void KeyCatalogTest::textsArrivingLater() {
    // The picker reads the texts after the names: a text that arrives can add a match to the same filter.
    KeyCatalog catalog;
    const int sig = catalog.add(QStringLiteral("Work"), QStringLiteral("sig"));
    const int memo = catalog.add(QStringLiteral("Work"), QStringLiteral("memo"));
    QCOMPARE(shown(catalog, QStringLiteral("regards")), QStringList());
    QVERIFY(catalog.entry(sig).firstLine.isEmpty());
    catalog.setText(sig, QStringLiteral("Kind regards"));
    QCOMPARE(shown(catalog, QStringLiteral("regards")), QStringList{"Work/sig"});
    catalog.setText(memo, QStringLiteral("regards to all"));
    QCOMPARE(shown(catalog, QStringLiteral("regards t")), QStringList{"Work/memo"});
    // Cleared, nothing of the old store is found.
    catalog.clear();
    QCOMPARE(catalog.size(), 0);
    QCOMPARE(shown(catalog, QStringLiteral("regards")), QStringList());
}

QTEST_APPLESS_MAIN(KeyCatalogTest)
#include "KeyCatalogTest.moc"
