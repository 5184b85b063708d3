#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The two ways a key file is read, and the way the editor writes one.
namespace KeyFile {

// For the editor: every line followed by CR LF, then one final CR LF removed. The exact inverse of
// saveFormat(), so a key saved and reloaded comes back unchanged.
QString editorText(const QStringList& lines);
std::optional<QString> readForEditor(const QString& path);

// What the editor writes: the whole text followed by one CR LF.
QString saveFormat(const QString& editorText);

} // namespace KeyFile
