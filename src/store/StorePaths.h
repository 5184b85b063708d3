#pragma once

#include <QString>

// Where everything of the store lives. The application folder holds the store root "Db"; each category is
// a folder in it and each key a file in its category. Paths are plain concatenations, exactly as the
// names are listed: no trimming and no change of case.
class StorePaths {
public:
    explicit StorePaths(QString applicationFolder);

    // The executable's folder, unless WORDWISP_HOME names another one; never with a trailing separator.
    static QString applicationFolder();

    const QString& appFolder() const { return m_app; }
    QString root() const;
    QString catIni() const;
    QString category(const QString& name) const;
    QString keyFile(const QString& categoryName, const QString& keyName) const;

private:
    QString m_app;
};
