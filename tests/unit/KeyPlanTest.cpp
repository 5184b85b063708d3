#include "platform/KeyPlan.h"

#include <QTest>

// The key events of a paste while the user still holds keys, and the paste keystroke per application.
class KeyPlanTest : public QObject {
    Q_OBJECT
    using M = KeyPlan::Modifier;
    static constexpr unsigned kCtrlL = 37, kCtrlR = 105, kShiftL = 50, kShiftR = 62, kAltL = 64, kSuper = 133;
    static constexpr unsigned kV = 55, kTab = 23;
    const KeyPlan::ModifierCodes codes{{kCtrlL, kCtrlR}, {kShiftL, kShiftR}, {kAltL}};
    const KeyPlan::Stroke ctrlV{kV, true, false, false};

private slots:
    void nothingHeld() {
        QCOMPARE(KeyPlan::plan({}, {ctrlV}, codes),
                 (QList<KeyPlan::Event>{{kCtrlL, true}, {kV, true}, {kV, false}, {kCtrlL, false}}));
    }

    void heldCtrlStaysDownAndTheOtherCtrlIsOurs() {
        // Still on Ctrl after Ctrl+C: the user's Ctrl is never touched, and the paste holds the other Ctrl,
        // so letting go of the held one half-way through cannot turn Ctrl+V into a plain v.
        QCOMPARE(KeyPlan::plan({{kCtrlL, M::Ctrl}}, {ctrlV}, codes),
                 (QList<KeyPlan::Event>{{kCtrlR, true}, {kV, true}, {kV, false}, {kCtrlR, false}}));
        QCOMPARE(KeyPlan::plan({{kCtrlR, M::Ctrl}}, {ctrlV}, codes),
                 (QList<KeyPlan::Event>{{kCtrlL, true}, {kV, true}, {kV, false}, {kCtrlL, false}}));
        // Both held, or no second Ctrl on the keyboard: the held one does it.
        QCOMPARE(KeyPlan::plan({{kCtrlL, M::Ctrl}, {kCtrlR, M::Ctrl}}, {ctrlV}, codes),
                 (QList<KeyPlan::Event>{{kV, true}, {kV, false}}));
        QCOMPARE(KeyPlan::plan({{kCtrlL, M::Ctrl}}, {ctrlV}, {{kCtrlL}, {kShiftL}, {kAltL}}),
                 (QList<KeyPlan::Event>{{kV, true}, {kV, false}}));
    }

    void otherHeldModifiersAreLiftedAndPutBack() {
        // Ctrl+Shift+C in a terminal, fingers still down, and a Super key too: only Ctrl stays.
        const QList<KeyPlan::HeldKey> held{{kCtrlL, M::Ctrl}, {kShiftR, M::Shift}, {kSuper, M::Other}};
        QCOMPARE(KeyPlan::plan(held, {ctrlV}, codes), (QList<KeyPlan::Event>{{kShiftR, false},
                                                                             {kSuper, false},
                                                                             {kCtrlR, true},
                                                                             {kV, true},
                                                                             {kV, false},
                                                                             {kCtrlR, false},
                                                                             {kSuper, true},
                                                                             {kShiftR, true}}));
        // A held Shift that the stroke needs stays down, and the other Shift is ours for the stroke.
        const KeyPlan::Stroke ctrlShiftV{kV, true, true, false};
        QCOMPARE(KeyPlan::plan({{kShiftL, M::Shift}}, {ctrlShiftV}, codes),
                 (QList<KeyPlan::Event>{
                     {kCtrlL, true}, {kShiftR, true}, {kV, true}, {kV, false}, {kShiftR, false}, {kCtrlL, false}}));
    }

    void modifierNeededByOnlySomeStrokes() {
        // Alt held, Alt+Tab then a plain v: Alt is lifted throughout and pressed by us for the Tab only.
        const QList<KeyPlan::Stroke> strokes{{kTab, false, false, true}, {kV, false, false, false}};
        QCOMPARE(KeyPlan::plan({{kAltL, M::Alt}}, strokes, codes), (QList<KeyPlan::Event>{{kAltL, false},
                                                                                          {kAltL, true},
                                                                                          {kTab, true},
                                                                                          {kTab, false},
                                                                                          {kAltL, false},
                                                                                          {kV, true},
                                                                                          {kV, false},
                                                                                          {kAltL, true}}));
    }

    void pasteKeysFollowTheApplication() {
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("lxterminal"), QStringLiteral("Lxterminal")}),
                 QStringLiteral("^+v"));
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("work-profile"), QStringLiteral("kitty")}),
                 QStringLiteral("^+v"));
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("XTerm")}), QStringLiteral("^+v"));
        // Wayland app ids, as KWin and GNOME name windows.
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("org.kde.konsole")}), QStringLiteral("^+v"));
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("org.gnome.Console")}), QStringLiteral("^+v"));
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("org.kde.kate")}), QStringLiteral("^v"));
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("l3afpad"), QStringLiteral("L3afpad")}), QStringLiteral("^v"));
        // "st" alone would match too much; an unknown or missing class pastes with Ctrl+V.
        QCOMPARE(KeyPlan::pasteKeysFor({QStringLiteral("terminal-notes")}), QStringLiteral("^v"));
        QCOMPARE(KeyPlan::pasteKeysFor({}), QStringLiteral("^v"));
    }
};

QTEST_GUILESS_MAIN(KeyPlanTest)
#include "KeyPlanTest.moc"
