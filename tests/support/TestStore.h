#pragma once

// A throw-away store for tests: an application folder with Db/ inside, and helpers to lay out
// categories and keys and read back exact bytes.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class TestStore {
public:
    TestStore() { QDir(m_dir.path()).mkpath(QStringLiteral("Db")); }

    QString appFolder() const { return m_dir.path(); }
    QString root() const { return m_dir.path() + QStringLiteral("/Db"); }
    QString path(const QString& relative) const { return root() + u'/' + relative; }

    void category(const QString& name) const { QDir(root()).mkpath(name); }
    void file(const QString& relative, const QByteArray& bytes) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    void key(const QString& category, const QString& name, const QByteArray& bytes = {}) const {
        file(category + u'/' + name, bytes);
    }
    void catIni(const QByteArray& bytes) const { file(QStringLiteral("Cat.ini"), bytes); }

    bool exists(const QString& relative) const { return QFileInfo::exists(path(relative)); }
    QByteArray bytes(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The entries of a folder of the store, sorted, for comparing whole trees.
    QStringList entries(const QString& relative = {}) const {
        return QDir(relative.isEmpty() ? root() : path(relative))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};
