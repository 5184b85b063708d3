#include "app/WindowLayout.h"

#include <QtTest>

using namespace WindowLayout;

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void atTheMinimum();
    void smallerThanTheMinimumIsClamped();
    void largerByAThousandInBothDirections();
    void gripDragPutsTheGripCornerUnderThePointer();
    void pixelsFollowTheTwipEdges();
};

void WindowLayoutTest::atTheMinimum() {
    const Arrangement a = arrange(7380, 5445);
    QCOMPARE(a.width, 7380);
    QCOMPARE(a.height, 5445);
    QCOMPARE(a.text2, (TwipRect{2520, 480, 4730, 4395}));
    QCOMPARE(a.list1, (TwipRect{120, 840, 2295, 3995}));
    QCOMPARE(a.picture1, (TwipRect{120, 4945, 7080, 375}));
    QCOMPARE(a.label6, (TwipRect{5870, 0, 1215, 345}));
    QCOMPARE(a.resizepic, (TwipRect{7110, 5190, 270, 255}));
    QCOMPARE(a.titleBar, (TwipRect{0, 0, 7380, 375}));
    // The window starts at this size: 492 x 363 pixels.
    QCOMPARE(toPixels(a.width), 492);
    QCOMPARE(toPixels(a.height), 363);
}

void WindowLayoutTest::smallerThanTheMinimumIsClamped() {
    const Arrangement minimum = arrange(7380, 5445);
    for (const QSize& size : {QSize(7000, 5445), QSize(7380, 100), QSize(7379, 5444), QSize(-500, -20)}) {
        const Arrangement a = arrange(size.width(), size.height());
        QCOMPARE(QSize(a.width, a.height), QSize(7380, 5445));
        QCOMPARE(a.text2, minimum.text2);
        QCOMPARE(a.picture1, minimum.picture1);
        QCOMPARE(a.resizepic, minimum.resizepic);
    }
}

void WindowLayoutTest::largerByAThousandInBothDirections() {
    const Arrangement small = arrange(7380, 5445);
    const Arrangement a = arrange(8380, 6445);
    QCOMPARE(a.text2, (TwipRect{2520, 480, 5730, 5395}));
    // The key list grows only downwards.
    QCOMPARE(a.list1, (TwipRect{120, 840, 2295, 4995}));
    QCOMPARE(a.picture1, (TwipRect{120, 5945, 8080, 375}));
    QCOMPARE(a.label6.left, small.label6.left + 1000);
    QCOMPARE(a.resizepic, (TwipRect{8110, 6190, 270, 255}));
    QCOMPARE(a.titleBar.width, 8380);

    // Only one direction: the other dimension's controls stay put.
    const Arrangement wider = arrange(8380, 5445);
    QCOMPARE(wider.text2.height, small.text2.height);
    QCOMPARE(wider.list1, small.list1);
    QCOMPARE(wider.picture1.top, small.picture1.top);
    const Arrangement taller = arrange(7380, 6445);
    QCOMPARE(taller.text2.width, small.text2.width);
    QCOMPARE(taller.label6, small.label6);
    QCOMPARE(taller.resizepic.left, small.resizepic.left);
}

void WindowLayoutTest::gripDragPutsTheGripCornerUnderThePointer() {
    // Pointer at the grip's own corner: the size stays.
    QCOMPARE(gripDragSize({7110, 5190}), QSize(7380, 5445));
    // Pressed 5 pixels into the grip and not moved yet: the first step grows by that offset.
    QCOMPARE(gripDragSize({7110 + 75, 5190 + 75}), QSize(7455, 5520));
    const Arrangement a = arrange(gripDragSize({9000, 7000}).width(), gripDragSize({9000, 7000}).height());
    QCOMPARE(a.resizepic.left, 9000);
    QCOMPARE(a.resizepic.top, 7000);
    // Towards the top-left corner, past the window itself: never below the minimum.
    const QSize far = gripDragSize({-3000, -3000});
    const Arrangement clamped = arrange(far.width(), far.height());
    QCOMPARE(clamped.width, kMinWidth);
    QCOMPARE(clamped.height, kMinHeight);
}

void WindowLayoutTest::pixelsFollowTheTwipEdges() {
    // Text2 ends where 2520 + 4730 twips ends, whatever rounding its width alone would give, and the
    // grip sits flush in the corner of a 492 x 363 window.
    QCOMPARE(toPixels(TwipRect{2520, 480, 4730, 4395}), QRect(168, 32, 315, 293));
    QCOMPARE(toPixels(TwipRect{7110, 5190, 270, 255}).bottomRight(), QPoint(491, 362));
}

QTEST_APPLESS_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
