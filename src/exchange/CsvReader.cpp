#include "exchange/CsvReader.h"

#include "exchange/SourceFiles.h"

#include <QFileInfo>

namespace {

const QString kHeaderKeyword = QStringLiteral("keyword");
const QString kSkipMalformed = QStringLiteral("malformed");
constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';
constexpr qsizetype kFieldsWithCategory = 3;
constexpr qsizetype kFieldsWithoutCategory = 2;

struct Record {
    int line = 0;
    QStringList fields;
    bool quoted = false; // a quoted field makes a row no empty row, even "" alone
};

// RFC 4180 with the usual leniency: a quote inside an unquoted field, or text after a closing quote, is
// kept as it stands rather than refused, as spreadsheet programs do.
class Parser {
public:
    explicit Parser(const QString& text) : text_(text) {}

    // Returns false at a quote never closed, with the line it opened on in errorLine.
    bool next(Record& record, int& errorLine) {
        record = Record{};
        record.line = line_;
        for (;;) {
            QString field;
            if (peek() == kQuote) {
                record.quoted = true;
                const int opened = line_;
                if (!readQuoted(field)) {
                    errorLine = opened;
                    return false;
                }
            }
            while (pos_ < text_.size() && text_[pos_] != kComma && text_[pos_] != kCr && text_[pos_] != kLf) {
                field.append(text_[pos_++]);
            }
            record.fields.append(field);
            if (peek() == kComma) {
                ++pos_;
                continue;
            }
            skipLineEnd();
            return true;
        }
    }

    bool atEnd() const { return pos_ >= text_.size(); }

private:
    QChar peek() const { return pos_ < text_.size() ? text_[pos_] : QChar(); }

    // Line breaks inside the quotes are part of the field, kept as they are, and still counted.
    bool readQuoted(QString& field) {
        ++pos_;
        while (pos_ < text_.size()) {
            const QChar c = text_[pos_];
            if (c == kQuote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == kQuote) {
                    field.append(kQuote);
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return true;
            }
            if (c == kCr || c == kLf) {
                const qsizetype before = pos_;
                skipLineEnd();
                field.append(QStringView(text_).sliced(before, pos_ - before));
                continue;
            }
            field.append(c);
            ++pos_;
        }
        return false;
    }

    void skipLineEnd() {
        if (peek() == kCr) {
            ++pos_;
            if (peek() == kLf) {
                ++pos_;
            }
            ++line_;
        } else if (peek() == kLf) {
            ++pos_;
            ++line_;
        }
    }

    const QString& text_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

bool isEmptyRow(const Record& record) {
    return !record.quoted && record.fields.size() == 1 && record.fields.first().isEmpty();
}

ImportItem itemOf(const Record& record, const QString& fileName, const QString& baseName) {
    ImportItem item;
    item.file = fileName;
    item.line = record.line;
    item.trigger = record.fields.value(0);
    item.text = record.fields.value(1);
    const QString category = record.fields.value(2);
    item.category = category.isEmpty() ? baseName : category;
    const qsizetype count = record.fields.size();
    if (count != kFieldsWithoutCategory && count != kFieldsWithCategory) {
        item.skip = kSkipMalformed;
    }
    return item;
}

} // namespace

ImportRead CsvReader::read(const QString& file) {
    ImportRead result;
    const QFileInfo info(file);
    if (!info.exists()) {
        result.error = SourceFiles::missingPath(file);
        return result;
    }
    const QString fileName = info.fileName();
    if (info.isDir()) {
        result.error = fileName + QStringLiteral(": a folder, not a CSV file");
        return result;
    }
    QByteArray bytes;
    if (!SourceFiles::readAll(file, fileName, bytes, result.error)) {
        return result;
    }
    const QByteArrayView body = SourceFiles::withoutBom(bytes);
    const qsizetype bad = SourceFiles::invalidUtf8At(body);
    if (bad >= 0) {
        result.error = fileName + QLatin1Char(':') + QString::number(SourceFiles::lineAt(body, bad)) +
                       QStringLiteral(": not valid UTF-8");
        return result;
    }
    const QString text = SourceFiles::text(body);
    // "notes.v2.csv" is the category "notes.v2": only the extension goes.
    const QString baseName = info.completeBaseName();

    Parser parser(text);
    bool first = true;
    while (!parser.atEnd()) {
        Record record;
        int errorLine = 0;
        if (!parser.next(record, errorLine)) {
            result.items.clear();
            result.error = fileName + QLatin1Char(':') + QString::number(errorLine) +
                           QStringLiteral(": a quoted field is never closed");
            return result;
        }
        if (isEmptyRow(record)) {
            continue;
        }
        const bool header = first && record.fields.first().compare(kHeaderKeyword, Qt::CaseInsensitive) == 0;
        first = false;
        if (!header) {
            result.items.append(itemOf(record, fileName, baseName));
        }
    }
    return result;
}
