#pragma once

#include <QString>
#include <QStringList>

// The file that remembers the current category between runs: the name followed by CR LF.
namespace CatIni {

// The first line as written, with a surrounding pair of double quotes removed.
QString plainName(const QString& content);

// The first delimited field, as older versions read the file: leading blanks and line ends skipped, a
// quoted field runs to its closing quote, any other field to the first comma or line end.
QString firstField(const QString& content);

// The stored category among the existing ones: the name as written, or failing that its first field
// (so "Work,old" still selects Work when no category is called "Work,old"). Empty when neither exists.
QString chooseCategory(const QString& content, const QStringList& categories);

// What the file holds for a category: its name followed by CR LF.
QString content(const QString& categoryName);

// Writes the name atomically, so an interrupted exit leaves the previous name, never a broken file.
bool write(const QString& path, const QString& categoryName);

} // namespace CatIni
