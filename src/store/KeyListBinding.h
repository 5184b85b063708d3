#pragma once

#include "store/StorePaths.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class Dialogs;
class KeyEditor;
class QComboBox;
class QLabel;
class QListWidget;

// The folder whose files make the key list; it stands for the window's file listing control.
class FileListing {
public:
    void setFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }
    QStringList entries() const;

private:
    QString m_folder;
};

// Keeps the key list, the category selector and the key editor in step with the store: loads the
// categories at start-up, switches category, rebuilds the key list and loads the selected key's text.
class KeyListBinding : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QListWidget* List1;
        QComboBox* Combo1;
        KeyEditor* Text2;
        QLabel* Label6;
    };
    struct Hooks {
        std::function<void()> showWelcomeText;
        std::function<void()> switchTriggerOn;
    };

    // Up to this many keys the key list measures every name for its row sizes (a few milliseconds);
    // beyond, all rows take the size of the last one.
    static constexpr qsizetype kExactRowSizesUpTo = 2000;

    KeyListBinding(Controls controls, StorePaths paths, Dialogs& dialogs, Hooks hooks, QObject* parent = nullptr);

    void LoadCategories();
    void List1_Click();
    void RefreshKeyList();
    void Combo1_Click();
    // Rebuilds the category selector from the folders on disk and makes the first category current.
    void RefreshCategoryList();

    // Selecting from code runs the same handler as the user's click.
    void selectCategory(int index);
    void selectKey(int row);
    // Leaves no key selected, without running the key selection.
    void clearKeySelection();

    QString currentCategory() const { return categoryIn(m_ui.Combo1); }
    // The name of the category selected in a category selector; empty while none is selected.
    static QString categoryIn(const QComboBox* selector);
    QString selectedKey() const;
    const StorePaths& paths() const { return m_paths; }

    // The key that key selection last loaded into the editor, and its file's text as read then: what an
    // outside change and a save compare the file with.
    struct LoadedKey {
        QString category;
        QString key;
        std::optional<QString> onDisk; // nothing when the file could not be read
        QString shown;                 // the editor's text right after loading
        int load = -1;                 // the editor's load count then (KeyEditor::loads)
    };
    const LoadedKey& loadedKey() const { return m_loaded; }
    // Whether the editor still shows that key's text, edited or not: nothing has replaced it since.
    bool editorShowsLoadedKey() const;
    // Whether the user has changed that text in the editor.
    bool editorChanged() const;
    // The loaded key's file now has another name (renamed outside the program, same text).
    void renameLoadedKey(const QString& key) { m_loaded.key = key; }
    // The current category's folder now has another name (renamed outside the program): the selector,
    // the file listing and the loaded key take it, and nothing is loaded again.
    void renameCurrentCategory(const QString& name);

    // The key list row that every refresh selects; moved by key deletion.
    int ReselectIndex = 0;
    FileListing File1;

signals:
    // The entries of the key list were rebuilt (after a refresh or a change of category).
    void keyListChanged();
    // Key selection loaded a key into the editor.
    void keyLoaded();

private:
    // Whether the key list already holds exactly these entries, in this order.
    bool listShows(const QStringList& names) const;

    struct JustListed {
        QString folder;
        QStringList names; // the keys' names, blank ones left out
    };

    Controls m_ui;
    StorePaths m_paths;
    Dialogs& m_dialogs;
    Hooks m_hooks;
    LoadedKey m_loaded;
    // While the start-up loads the store, the last listing is kept for the refresh that follows it.
    bool m_keepListing = false;
    std::optional<JustListed> m_justListed;
};
