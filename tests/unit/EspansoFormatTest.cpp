#include <QTest>

class EspansoFormatTest : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(EspansoFormatTest)
#include "EspansoFormatTest.moc"
