#pragma once

#include <QString>

// Where everything of the store lives. The application folder holds the store root "Db"; each category is
// a folder in it and each key a file in its category. Paths are plain concatenations, exactly as the
// names are listed: no trimming and no change of case.
class StorePaths {
public:
    explicit StorePaths(QString applicationFolder);

    // Which folder holds the store, and why; see chooseApplicationFolder().
    enum class FolderKind { Named, Program, UserData };
    struct FolderChoice {
        FolderKind kind;
        QString folder;
    };

    // The application folder of this run: chooseApplicationFolder() with this process's executable
    // folder, WORDWISP_HOME and the user's data folder. Never with a trailing separator.
    static FolderChoice applicationFolder();
    // WORDWISP_HOME, when set, names the folder. Otherwise the executable's folder serves when it already
    // holds a store, or when it is a writable folder of the user's own (a build tree, a portable copy).
    // An installed program (a system folder such as /usr/bin, or any folder the user may not write)
    // keeps its store in the user's data folder instead.
    static FolderChoice chooseApplicationFolder(const QString& programFolder, const QString& namedFolder,
                                                const QString& userDataFolder, bool programFolderIsSystem);
    // $XDG_DATA_HOME/wordwisp, by default ~/.local/share/wordwisp.
    static QString userDataFolder();
    // Folders the system's package manager owns: a store is never made there, not even by root.
    static bool isSystemFolder(const QString& folder);

    const QString& appFolder() const { return m_app; }
    QString root() const;
    QString catIni() const;
    QString category(const QString& name) const;
    QString keyFile(const QString& categoryName, const QString& keyName) const;

private:
    QString m_app;
};
