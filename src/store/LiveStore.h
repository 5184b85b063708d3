#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class KeyEditor;
class KeyListBinding;
class QComboBox;
class QListWidget;
class StoreWatcher;

// Keeps the category selector, the key list and the editor in step with changes that other programs
// make to the store (a sync engine, a text editor, a file manager, `git pull`), as they happen.
//
// Only what changed is touched: entries that went are taken out, new ones are put where the store's
// order puts them, and everything else keeps its place, so the selection and the current category stay
// as they were. The program's own writes (a save through a hidden temporary and a rename, an added,
// deleted or renamed key, the category manager's changes) also reach the watcher; by then the lists
// and the editor already show what is on disk, so the comparison finds nothing to do: no flicker, no
// lost selection, no loop.
//
// The open key follows as well: a new text on disk replaces the editor's text unless the user has
// changed it (then the user's text stays, and a save asks first); a key renamed outside stays selected
// under its new name; a key deleted outside leaves the list, and the user's unsaved text stays in the
// editor for a save to write back. The current category renamed outside stays current under its new
// name; removed, it falls back as at start-up.
class LiveStore : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QListWidget* List1;
        QComboBox* Combo1;
        KeyEditor* Text2;
    };
    struct Hooks {
        // Holds the clipboard trigger's reaction to list changes while on: an outside change is no
        // request of the user to expand what is on the clipboard, nor to switch the trigger on.
        std::function<void(bool)> quietTrigger;
        std::function<void()> showWelcomeText;
    };

    LiveStore(KeyListBinding& binding, Controls controls, Hooks hooks, QObject* parent = nullptr);

    // Brings the lists and the editor up to date with the store now: the categories and/or the keys of
    // the current category and the open key's text. What a settled burst runs.
    void followStore(bool categories = true, bool keys = true);

signals:
    // Entries of the key list or the category selector were added or removed.
    void listsChanged();

private:
    bool followCategories();
    bool followKeys();
    void followOpenKeyText();
    QString renamedCategory(const QStringList& onDisk) const;
    void fallBack();
    void rewatch();

    KeyListBinding& m_binding;
    Controls m_ui;
    Hooks m_hooks;
    StoreWatcher* m_watcher;
    bool m_following = false;
    bool m_againCategories = false;
    bool m_againKeys = false;
};
