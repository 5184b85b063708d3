#pragma once

#include <QString>
#include <QStringList>

// wordwisp --export espanso FOLDER: each category as an espanso match file, for machines where Wordwisp
// does not run.
namespace StoreExport {

struct Outcome {
    QStringList report;   // stdout: one line per category written, then the summary
    QStringList problems; // stderr: what could not be written, and why
    int exitCode = 0;     // 1 when a category could not be written
};

Outcome toEspanso(const QString& storeRoot, const QString& folder);

} // namespace StoreExport
