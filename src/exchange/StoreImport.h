#pragma once

#include <QString>
#include <QStringList>

// wordwisp --import: another expander's keys into the store, never over a key that is there. What it
// prints is the whole of what the user learns, so every key left out or renamed gets a line of its own.
namespace StoreImport {

struct Options {
    QString into;        // every key into this category; empty: the categories the source gives
    bool dryRun = false; // plan and report, write nothing
};

struct Outcome {
    QStringList report;   // stdout: one line per category that receives keys, then the summary
    QStringList problems; // stderr: one line per key skipped or renamed, then what stopped the import
    int exitCode = 0;     // 0 when the source was read; 1 when it could not be, or a write failed
};

// source: a file or folder of another expander; storeRoot: the store's Db folder.
Outcome run(const QString& source, const QString& storeRoot, const Options& options);

// The text as the key editor saves it: lines joined with CR LF, whatever line ends the source used,
// then CR LF; a final line break of the source stays as an empty last line.
QString keyFileText(const QString& text);

} // namespace StoreImport
