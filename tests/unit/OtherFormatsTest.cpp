#include <QTest>

class OtherFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(OtherFormatsTest)
#include "OtherFormatsTest.moc"
