#pragma once

#include <QString>
#include <QStringList>

// The files that ship with the program (the help page, the example store), wherever this copy of it
// runs from: beside the executable (a build tree or a portable copy), in the share folder of the tree it
// was installed into (/usr/bin/wordwisp reads /usr/share/wordwisp), or in the source tree it was built
// from, for builds run where they were made.
namespace ProgramFiles {

// Where `relative` may be, first match wins.
QStringList candidates(const QString& executableFolder, const QString& relative);
// The first candidate that exists as a file (or as a folder, with `folder`), as a canonical path; empty
// when there is none.
QString find(const QString& executableFolder, const QString& relative, bool folder = false);

} // namespace ProgramFiles
