// Other expanders' files as anyone may hand them over: the first byte picks the reader (CSV, espanso,
// Beeftext) or the espanso writer. No reader crashes, hangs or reports a line outside its file; and any
// text the writer is given (but espanso's own marks) reads back through the espanso reader exactly.

#include "FuzzCheck.h"
#include "exchange/BeeftextReader.h"
#include "exchange/CsvReader.h"
#include "exchange/EspansoReader.h"
#include "exchange/EspansoWriter.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace {

QString writeSource(const QString& name, const QByteArray& bytes) {
    // In memory where the system has such a folder: a disk write per input would slow the fuzzer tenfold.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/wordwisp-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/wordwisp-fuzz-XXXXXX"));
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes);
    return path;
}

void checkRead(const ImportRead& read, const QString& name, const QByteArray& bytes) {
    if (!read.error.isEmpty())
        return;
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    for (const ImportItem& item : read.items) {
        FUZZ_CHECK(item.file == name);
        FUZZ_CHECK(item.line >= 0 && item.line <= lines);
    }
}

// Any text a key can hold: the bytes as UTF-8, what is not UTF-8 replaced, split into lines as a key file is.
void checkRoundTrip(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    // espanso has no way to write its variable braces or its cursor mark as plain text: such keys come back
    // changed or skipped, and the exporter's users are told so.
    if (text.contains(QLatin1String("{{")) || text.contains(QLatin1String("$|$")))
        return;
    const QStringList lines = text.split(u'\n');
    const QString path =
        writeSource(QStringLiteral("round.yml"), EspansoWriter::document({{QStringLiteral("key"), lines}}));
    const ImportRead read = EspansoReader::read(path);
    if (!read.error.isEmpty() || read.items.size() != 1) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error));
        FUZZ_CHECK(read.error.isEmpty() && read.items.size() == 1);
    }
    FUZZ_CHECK(read.items.first().trigger == QLatin1String("key"));
    FUZZ_CHECK(read.items.first().skip.isEmpty());
    FUZZ_CHECK(read.items.first().text == lines.join(u'\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes = fuzzBytes(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        checkRead(CsvReader::read(writeSource(QStringLiteral("in.csv"), bytes)), QStringLiteral("in.csv"), bytes);
        break;
    case 1:
        checkRead(EspansoReader::read(writeSource(QStringLiteral("in.yml"), bytes)), QStringLiteral("in.yml"), bytes);
        break;
    case 2:
        checkRead(BeeftextReader::read(writeSource(QStringLiteral("comboList.json"), bytes)),
                  QStringLiteral("comboList.json"), bytes);
        break;
    default:
        checkRoundTrip(bytes);
        break;
    }
    return 0;
}
