#pragma once

#include "expand/KeywordIndex.h"
#include "expand/PasteProtocol.h"
#include "store/StorePaths.h"

#include <QObject>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTimer;
struct Platform;

// The clipboard trigger: when the clipboard names a key of the current category, the key's text goes on
// the clipboard in its place and Ctrl+V goes to the focused application, so the copied keyword is
// replaced where the user selected it.
//
// The trigger is on exactly while Timer1 is active. Where the platform announces clipboard changes, the
// clipboard is read once per change and the text kept; Timer1 then stays active only as the on/off
// switch and never wakes the process (see the constructor). Where no announcement exists, Timer1 polls
// every 10 ms. Either way the kept text is compared again whenever the key list or the category changes
// and whenever the trigger is switched on, which is what a poll that compares at every tick would do.
class ClipboardTrigger : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QListWidget* List1;
        QComboBox* Combo1;
        QLineEdit* Text1; // mirror of the clipboard text last looked at
        QCheckBox* Check1;
        QTimer* Timer1;
    };

    ClipboardTrigger(Controls controls, Platform& platform, StorePaths paths, QObject* parent = nullptr);

    void Timer1_Timer();
    // Follows the "Enabled" box; runs for the user's clicks and for changes made from code alike.
    void Check1_Click();

    void switchOn();
    void switchOff();
    bool isOn() const;

    PasteProtocol& pasteProtocol() { return m_paste; }

    // The caller is about to put this text on the clipboard and sends the paste itself: when it names a
    // key, the trigger expands it as always but sends no Ctrl+V of its own, and expands it even if it is
    // the text of the last expansion. The empty text ends the arrangement.
    void leavePasteTo(const QString& text);
    // The caller puts this text on the clipboard and pastes it itself: it is never expanded, even where it
    // names a key (a key picked whose text is another key's name), as the trigger's own texts are not.
    void passOver(const QString& text) { m_ownText = text; }

    // While quiet, changes of the key list and the category only make the keyword index new: they come
    // from other programs changing the store, not from the user. A key that arrives while its keyword
    // sits on the clipboard from a copy long ago must not paste into whatever window has the focus now,
    // and the store's changes never switch a disabled trigger on.
    void setQuiet(bool quiet) { m_quiet = quiet; }

signals:
    // An expansion went out: the key's text is on the clipboard, and Ctrl+V was sent unless it could not
    // reach the window the keyword was copied from.
    void expanded(const QString& key);

private:
    void ExpandClipboardKeyword();
    void readClipboard();
    void clipboardChanged();
    // The keystroke would not reach the window the keyword was copied from; says so the first time.
    void withholdPaste();
    void keyListChanged();
    void categoryChanged();
    void queueCheck();
    QString currentCategory() const;

    Controls m_ui;
    Platform& m_platform;
    StorePaths m_paths;
    PasteProtocol m_paste;
    KeywordIndex m_index;
    QTimer* m_check; // runs a queued comparison from the event loop, never inside another handler

    QString m_text;           // the clipboard text as last read
    bool m_textKnown = false; // false once the clipboard announced a change since that read
    bool m_compareDue = true; // the text, the key list, the category or the switch changed since the last look
    bool m_indexStale = true;
    bool m_mirrorStale = true;
    bool m_expanding = false;
    // The text this trigger last put on the clipboard. It is never expanded again, or a key whose text
    // names another key would chain, and two keys naming each other would expand forever.
    QString m_ownText;
    QString m_pasteLeftFor; // see leavePasteTo
    bool m_withholdingSaid = false;
    bool m_quiet = false;
};
