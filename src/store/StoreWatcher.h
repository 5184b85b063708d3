#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Tells when the store changed on disk, through the file system's change notification (inotify on
// Linux): nothing runs while nothing changes. It watches three places only: the store root (categories
// come and go), the current category's folder (keys come, go and are renamed) and the key file open in
// the editor (a text edited in place changes no folder). The other categories' folders are not
// watched: nothing of theirs is shown, and a store of a thousand categories still costs three watches.
//
// A sync engine or a `git pull` writes many files in a row; they are reported together, once the
// store has been quiet for a moment, or at the latest after a longer moment if the writing goes on.
class StoreWatcher : public QObject {
    Q_OBJECT
public:
    // How long the store must stay quiet before a burst of changes is reported.
    static constexpr int kQuietMs = 100;
    // A burst that never pauses is reported this long after its first change all the same.
    static constexpr int kLongestWaitMs = 500;

    explicit StoreWatcher(QString root, QObject* parent = nullptr);

    // What to watch besides the root; empty for none. Paths that have gone (a folder removed, a key file
    // replaced by a rename, which ends its watch) are taken up again by the next call.
    void follow(const QString& categoryFolder, const QString& keyFile);

signals:
    // The store changed: the root's entries (categories) and/or the current category's (keys, or the
    // text of the open key).
    void settled(bool categories, bool keys);

private:
    void changed(const QString& path);
    void report();
    void watch(const QString& path, bool wanted);

    QString m_root;
    QString m_category;
    QString m_keyFile;
    QFileSystemWatcher* m_watcher;
    QTimer* m_quiet;
    QElapsedTimer m_burst;
    bool m_categories = false;
    bool m_keys = false;
};
