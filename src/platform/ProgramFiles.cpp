#include "platform/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

QStringList ProgramFiles::candidates(const QString& executableFolder, const QString& relative) {
    const QDir exe(executableFolder);
    QStringList list{QDir::cleanPath(exe.filePath(relative)),
                     QDir::cleanPath(exe.filePath(QStringLiteral("../share/wordwisp/") + relative))};
#ifdef WORDWISP_SOURCE_DIR
    list.append(QStringLiteral(WORDWISP_SOURCE_DIR "/") + relative);
#endif
    return list;
}

QString ProgramFiles::find(const QString& executableFolder, const QString& relative, bool folder) {
    for (const QString& candidate : candidates(executableFolder, relative)) {
        const QFileInfo info(candidate);
        if (folder ? info.isDir() : info.isFile())
            return info.canonicalFilePath();
    }
    return QString();
}
