#pragma once

#include "expand/KeyCatalog.h"
#include "platform/WindowFocus.h"
#include "store/StorePaths.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

#include <functional>

class DirectInsertion;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
struct Platform;

// The key picker: a small search window over every key of every category, opened by `wordwisp --pick`
// (a keyboard shortcut of the desktop runs it, so no keyboard is ever watched). The user types a filter,
// moves through the matches with the arrows and presses Enter: the window closes, the window the user
// was in gets the focus back and the key's text is pasted there, as a key from the tray menu is. Esc
// closes it and pastes nothing.
//
// The store is listed afresh at every opening, so the picker never offers a key that has gone; the
// names are there at once, and the texts are read in slices from the event loop, so a store of a
// hundred thousand keys opens without a wait and its texts become searchable as they arrive. Texts
// read once are kept with their file's size and modification time: at the next opening a file that
// kept both is not read again (a look at its attributes costs a fraction of a read).
//
// `wordwisp --paste KEY` pastes one key the same way without a window.
class KeyPicker : public QWidget {
    Q_OBJECT
public:
    // Nobody reads more rows than this; the count says how many more there are.
    static constexpr int kMaxRows = 50;

    KeyPicker(const StorePaths& paths, Platform& platform, DirectInsertion& insertion,
              std::function<QString()> currentCategory, QWidget* parent = nullptr);

    // Opens the picker for the window that had the focus when it was asked for (0: none known).
    void open(WindowFocus::WindowId previousWindow);
    // Pastes a key named as a keyword is typed (spaces around it and case do not count) from the
    // category so named, or the current one where none is; empty when pasted, else why it was not.
    QString pasteKey(const QString& key, const QString& category);

    // True while key texts are still being read.
    bool reading() const;

    QLineEdit* filterField;
    QListWidget* matchList;
    QLabel* countLabel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // keepChoice: the row chosen stays chosen where it is still shown (texts arrived, not a keystroke).
    void refilter(bool keepChoice = false);
    void readTexts();
    void choose();
    void dismiss();
    void step(int rows);

    StorePaths m_paths;
    Platform& m_platform;
    DirectInsertion& m_insertion;
    std::function<QString()> m_currentCategory;
    KeyCatalog m_catalog;
    QList<int> m_shown;
    QTimer* m_reader;
    int m_nextText = 0;
    QElapsedTimer m_sinceRefilter;
    struct KeptText {
        qint64 size = -1;
        qint64 modifiedNs = -1;
        QString text;
    };
    // By key file path: the texts of the last opening, and those of this one as they are read.
    QHash<QString, KeptText> m_kept;
    QHash<QString, KeptText> m_keeping;
    WindowFocus::WindowId m_previous = 0;
};
