// Cat.ini as any program may have left it: the name read never holds a line end, the old-style first field
// never holds its delimiters, the chosen category is always one that exists; and every name a category may
// have comes back unchanged from the file written for it, even beside categories named like its parts.

#include "FuzzCheck.h"
#include "platform/TextFile.h"
#include "store/CatIni.h"
#include "store/NameRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString content = TextFile::decode(fuzzBytes(data, size));
    const QString plain = CatIni::plainName(content);
    FUZZ_CHECK(!plain.contains(u'\r') && !plain.contains(u'\n'));

    const QString field = CatIni::firstField(content);
    qsizetype start = 0;
    while (start < content.size() && QStringView(u" \t\r\n").contains(content[start]))
        ++start;
    const bool quoted = start < content.size() && content[start] == u'"';
    if (quoted) {
        FUZZ_CHECK(!field.contains(u'"'));
    } else {
        for (const QChar c : {u',', u'\r', u'\n'})
            FUZZ_CHECK(!field.contains(c));
        for (const QChar c : {u' ', u'\t'})
            FUZZ_CHECK(!field.startsWith(c) && !field.endsWith(c));
    }

    const QStringList categories{plain, field, QStringLiteral("Work")};
    const QString chosen = CatIni::chooseCategory(content, categories);
    FUZZ_CHECK(chosen.isEmpty() || categories.contains(chosen));
    FUZZ_CHECK(CatIni::chooseCategory(content, {}).isEmpty());

    // The fuzzer's first line taken as a category's name, written and read back as at the next start.
    if (NameRules::isAcceptable(plain)) {
        const QString written = TextFile::decode(TextFile::encode(CatIni::content(plain)));
        FUZZ_CHECK(CatIni::chooseCategory(written, {CatIni::firstField(plain), plain.trimmed(), plain}) == plain);
    }
    return 0;
}
