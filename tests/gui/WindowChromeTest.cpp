#include "app/WindowChrome.h"
#include "TestStore.h"
#include "app/MainWindow.h"
#include "app/WindowLayout.h"
#include "platform/LabelButton.h"
#include "platform/fake/FakePlatform.h"
#include "store/KeyEditor.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QtTest>

using WindowLayout::toPixels;
using WindowLayout::TwipRect;

namespace {
// A press, move or release as the platform delivers it to a widget holding the mouse.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
} // namespace

class WindowChromeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAtStart_data();
    void controlsAtStart();
    void windowLooksAsDesigned();
    void gripSizesButNeverBelowTheMinimum_data();
    void gripSizesButNeverBelowTheMinimum();
    void titleDragsWithTheLeftButtonOnly();
    void titleMovesByHandWhereTheSystemRefuses();
    void fullScreenTogglesAndLeavesMinimisedAlone();
    void minimiseShowsTheDatedCaption();
    void quitRunsTheShutdown();

private:
    TestStore* store = nullptr;
    FakePlatform* fake = nullptr;
    MainWindow* window = nullptr;
};

void WindowChromeTest::init() {
    store = new TestStore;
    store->key(QStringLiteral("Work"), QStringLiteral("sig"), "Regards\r\n");
    store->catIni("Work\r\n");
    fake = new FakePlatform;
    window = new MainWindow(fake->platform(), StorePaths(store->appFolder()));
    window->move(40, 30);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void WindowChromeTest::cleanup() {
    delete window;
    delete fake;
    delete store;
}

void WindowChromeTest::controlsAtStart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QRect>("twips");
    const auto row = [](const char* name, const char* caption, const char* tip, TwipRect r) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << QString::fromUtf8(tip)
                            << QRect(r.left, r.top, r.width, r.height);
    };
    row("Picture100", "", "", {0, 0, 7380, 375});
    row("Label2", "X", "Quit", {0, 0, 375, 375});
    row("Label13", "[]", "Full Screen / Normal", {360, 0, 375, 375});
    row("Label3", "-", "For Icon", {720, 0, 375, 375});
    row("Label7", "*", "In the Tray Bar", {1080, 0, 375, 375});
    row("Combo1", "", "", {120, 480, 1995, 360});
    row("Label11", "+", "Gestione Categorie", {2160, 480, 255, 330});
    row("List1", "", "", {120, 840, 2295, 3995});
    row("Text2", "", "", {2520, 480, 4730, 4395});
    row("Picture1", "", "", {120, 4945, 7080, 375});
    row("Label12", " 0", "", {0, 0, 600, 330});
    row("Label8", "R", "Rename", {720, 0, 375, 345});
    row("Label5", "-", "Delete", {1200, 0, 375, 345});
    row("Label4", "+", "Add", {1680, 0, 615, 345});
    row("Label9", "Menù", "Menu", {2400, 0, 1215, 345});
    row("Label10", "", "About us and info", {3720, 0, 1335, 345});
    row("Check1", "Enabled", "Enable or Disable functions Insert text automatically", {3840, 80, 1095, 240});
    row("Label14", "C", "Copy text in clipboard", {5160, 0, 615, 345});
    row("Label6", "Save", "Save the text", {5870, 0, 1215, 345});
    row("Resizepic", "", "", {7110, 5190, 270, 255});
}

void WindowChromeTest::controlsAtStart() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(QRect, twips);
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY(control);
    QVERIFY(control->isVisible());
    QCOMPARE(control->geometry(), toPixels(TwipRect{twips.x(), twips.y(), twips.width(), twips.height()}));
    QCOMPARE(control->toolTip(), tip);
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), caption);
    else if (auto* box = qobject_cast<QCheckBox*>(control))
        QCOMPARE(box->text(), caption);
    // Label-buttons show the hand; the counter and the backing of "Enabled" are no buttons.
    if (qobject_cast<LabelButton*>(control) && name != QLatin1String("Resizepic"))
        QCOMPARE(control->cursor().shape(), Qt::PointingHandCursor);
}

void WindowChromeTest::windowLooksAsDesigned() {
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->size(), QSize(492, 363));
    QCOMPARE(window->minimumSize(), QSize(492, 363));
    QCOMPARE(window->palette().color(QPalette::Window), QColor(0xF2F2F2));
    QCOMPARE(window->Picture100->palette().color(QPalette::Window), QColor(0x3B7BEA));
    QCOMPARE(window->Label2->palette().color(QPalette::Window), QColor(0x808080));
    QCOMPARE(window->Label2->palette().color(QPalette::WindowText), QColor(0xFFFF00));
    QCOMPARE(window->Label6->palette().color(QPalette::WindowText), QColor(0x404040));
    QCOMPARE(window->Label1->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(window->Resizepic->cursor().shape(), Qt::SizeFDiagCursor);
    QCOMPARE(window->Resizepic->pixmap().size(), QSize(18, 17));
    // The stand-in fonts are really there, not silently replaced by whatever the machine has.
    QCOMPARE(QFontInfo(window->Label2->font()).family(), QStringLiteral("Liberation Sans"));
    QVERIFY(QFontInfo(window->Text2->font()).fixedPitch());
    // The title text starts where designed and is not cut off by its first caption's width.
    QCOMPARE(window->Label1->geometry().topLeft(), QPoint(104, 0));
    QVERIFY(window->Label1->width() >= window->Label1->sizeHint().width());
}

void WindowChromeTest::gripSizesButNeverBelowTheMinimum_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
}

void WindowChromeTest::gripSizesButNeverBelowTheMinimum() {
    QFETCH(Qt::MouseButton, button);
    QWidget* grip = window->Resizepic;
    auto* chrome = window->findChild<WindowChrome*>();
    QVERIFY(chrome);

    sendMouse(grip, QEvent::MouseButtonPress, {4, 4}, button, button);
    QVERIFY(chrome->isSizing());
    // The first step grows by the offset of the press, then the corner follows the pointer.
    sendMouse(grip, QEvent::MouseMove, {4, 4}, Qt::NoButton, button);
    QCOMPARE(window->size(), QSize(496, 367));
    sendMouse(window->Resizepic, QEvent::MouseMove, {100, 60}, Qt::NoButton, button);
    QCOMPARE(window->size(), QSize(596, 427));
    QCOMPARE(window->Resizepic->geometry(), QRect(578, 410, 18, 17));
    QCOMPARE(window->Text2->width(), 596 - 177);
    QCOMPARE(window->Label6->x(), window->Picture1->width() - 81);
    QCOMPARE(window->Picture100->width(), 596);

    // Far past the top-left corner: the window stops at its minimum and the grip stays in its corner.
    sendMouse(window->Resizepic, QEvent::MouseMove, {-900, -700}, Qt::NoButton, button);
    QCOMPARE(window->size(), QSize(492, 363));
    QCOMPARE(window->Resizepic->geometry(), QRect(474, 346, 18, 17));
    QCOMPARE(window->Text2->geometry(), QRect(168, 32, 315, 293));

    sendMouse(window->Resizepic, QEvent::MouseButtonRelease, {0, 0}, button, Qt::NoButton);
    QVERIFY(!chrome->isSizing());
    // Without a press the grip ignores the pointer.
    sendMouse(window->Resizepic, QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(window->size(), QSize(492, 363));
}

void WindowChromeTest::titleDragsWithTheLeftButtonOnly() {
    const QPoint start = window->pos();
    for (QWidget* handle : {static_cast<QWidget*>(window->Label1), window->Picture100}) {
        const QPoint inside = handle == window->Picture100 ? QPoint(460, 10) : QPoint(20, 10);
        sendMouse(handle, QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
        sendMouse(handle, QEvent::MouseMove, inside + QPoint(50, 50), Qt::NoButton, Qt::RightButton);
        sendMouse(handle, QEvent::MouseButtonRelease, inside, Qt::RightButton, Qt::NoButton);
        QCOMPARE(fake->effects->systemMoves, 0);
        QCOMPARE(window->pos(), start);
    }
    sendMouse(window->Label1, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(window->Label1, QEvent::MouseButtonRelease, {20, 10}, Qt::LeftButton, Qt::NoButton);
    sendMouse(window->Picture100, QEvent::MouseButtonPress, {460, 10}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(window->Picture100, QEvent::MouseButtonRelease, {460, 10}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(fake->effects->systemMoves, 2);
}

void WindowChromeTest::titleMovesByHandWhereTheSystemRefuses() {
    fake->effects->acceptSystemMove = false;
    const QPoint start = window->pos();
    QWidget* title = window->Label1;
    sendMouse(title, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    // Each move is reported relative to the title where it now is, as the platform does.
    sendMouse(title, QEvent::MouseMove, {50, 30}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->pos(), start + QPoint(30, 20));
    sendMouse(title, QEvent::MouseMove, {10, 5}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window->pos(), start + QPoint(20, 15));
    sendMouse(title, QEvent::MouseButtonRelease, {10, 5}, Qt::LeftButton, Qt::NoButton);
    sendMouse(title, QEvent::MouseMove, {90, 90}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(window->pos(), start + QPoint(20, 15));
    QCOMPARE(window->size(), QSize(492, 363));
}

void WindowChromeTest::fullScreenTogglesAndLeavesMinimisedAlone() {
    QTest::mouseClick(window->Label13, Qt::LeftButton);
    QTRY_VERIFY(window->isMaximized());
    // The layout fills whatever the screen gave.
    QTRY_COMPARE(window->Resizepic->geometry().bottomRight(), QPoint(window->width() - 1, window->height() - 1));
    QCOMPARE(window->Text2->width(), toPixels(WindowLayout::toTwips(window->width()) - 2650));

    QTest::mouseClick(window->Label13, Qt::LeftButton);
    QTRY_VERIFY(!window->isMaximized());
    QTRY_COMPARE(window->size(), QSize(492, 363));
    QCOMPARE(window->Resizepic->geometry(), QRect(474, 346, 18, 17));

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    QTest::mouseClick(window->Label13, Qt::LeftButton);
    QVERIFY(window->isMinimized());
    QVERIFY(!window->isMaximized());
}

void WindowChromeTest::minimiseShowsTheDatedCaption() {
    QTest::mouseClick(window->Label3, Qt::LeftButton);
    QCOMPARE(window->windowTitle(), QStringLiteral(" Wordwisp  |12-08-2026 - 14:05:09| "));
    QVERIFY(window->isMinimized());
    // With a window manager the window simply stays minimised, however long that takes it to act.
    QTest::qWait(400);
    QVERIFY(window->isMinimized());

    // Without one (a bare X server) the window stays on screen; then it counts as normal again and "[]"
    // still works.
    window->showNormal();
    QTRY_VERIFY(!window->isMinimized());
    fake->effects->windowManager = false;
    QTest::mouseClick(window->Label3, Qt::LeftButton);
    QVERIFY(window->isMinimized());
    QTRY_VERIFY(!window->isMinimized());
    QTest::mouseClick(window->Label13, Qt::LeftButton);
    QTRY_VERIFY(window->isMaximized());
}

void WindowChromeTest::quitRunsTheShutdown() {
    QTest::mouseClick(window->Label2, Qt::LeftButton);
    QCOMPARE(fake->shell->ended, 1);
    QCOMPARE(store->bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));
}

QTEST_MAIN(WindowChromeTest)
#include "WindowChromeTest.moc"
