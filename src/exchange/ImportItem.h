#pragma once

#include <QList>
#include <QString>

// One key as another expander's files give it, before the store's name rules and the keys already there
// have their say. The readers of the formats produce these; the import decides what becomes of each.
struct ImportItem {
    QString category; // the category the source puts it in (file, folder or group), as the source spells it
    QString trigger;  // the keyword as the source spells it
    QString text;     // the text exactly as the source holds it, line breaks as they come (LF, CR LF or CR)
    QString file;     // the source file, relative to the imported folder ('/' between parts); for a file
                      // imported on its own, its name
    int line = 0;     // 1-based line of the entry in that file, where the format has lines; 0 otherwise
    QString skip;     // why it is not taken ("uses variables", "macro" ...); empty when it is to be imported
};

// What a reader made of a file or folder.
struct ImportRead {
    QList<ImportItem> items; // files in the byte order of their paths, entries in file order
    QString error;           // the source could not be read at all: "FILE:LINE: what was wrong" (":LINE"
                             // where there is one); nothing is imported then
};
