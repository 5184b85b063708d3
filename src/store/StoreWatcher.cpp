#include "store/StoreWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>
#include <utility>

StoreWatcher::StoreWatcher(QString root, QObject* parent)
    : QObject(parent), m_root(std::move(root)), m_watcher(new QFileSystemWatcher(this)), m_quiet(new QTimer(this)) {
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(kQuietMs);
    connect(m_quiet, &QTimer::timeout, this, &StoreWatcher::report);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &StoreWatcher::changed);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &StoreWatcher::changed);
    follow(QString(), QString());
}

void StoreWatcher::watch(const QString& path, bool wanted) {
    if (path.isEmpty())
        return;
    const bool watched = m_watcher->directories().contains(path) || m_watcher->files().contains(path);
    if (wanted && !watched && QFileInfo::exists(path))
        m_watcher->addPath(path);
    else if (!wanted && watched)
        m_watcher->removePath(path);
}

void StoreWatcher::follow(const QString& categoryFolder, const QString& keyFile) {
    if (categoryFolder != m_category) {
        watch(m_category, false);
        m_category = categoryFolder;
    }
    if (keyFile != m_keyFile) {
        watch(m_keyFile, false);
        m_keyFile = keyFile;
    }
    watch(m_root, true);
    watch(m_category, true);
    watch(m_keyFile, true);
}

void StoreWatcher::changed(const QString& path) {
    if (path == m_root)
        m_categories = true;
    else
        m_keys = true;
    // The quiet time starts again with every change of the burst, but not beyond the longest wait.
    if (!m_quiet->isActive())
        m_burst.start();
    const qint64 left = kLongestWaitMs - m_burst.elapsed();
    m_quiet->start(int(std::clamp<qint64>(left, 0, kQuietMs)));
}

void StoreWatcher::report() {
    const bool categories = std::exchange(m_categories, false);
    const bool keys = std::exchange(m_keys, false);
    emit settled(categories, keys);
}
