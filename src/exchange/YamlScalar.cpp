#include "exchange/YamlScalar.h"

#include <QStringList>

namespace {

constexpr char32_t kDel = 0x7F;
constexpr char32_t kLastC1 = 0x9F;
constexpr char32_t kLineSeparator = 0x2028;
constexpr char32_t kParagraphSeparator = 0x2029;
constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kNonCharacterFFFE = 0xFFFE;
constexpr char32_t kNonCharacterFFFF = 0xFFFF;
constexpr int kHexWidthByte = 2;
constexpr int kHexWidthUnit = 4;
constexpr int kHex = 16;

// Characters that have to be escaped wherever they are; a line break and a tab may stand raw in a block.
bool mustEscape(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n') || (c >= kDel && c <= kLastC1) || c == kLineSeparator ||
           c == kParagraphSeparator || c == kByteOrderMark || c == kNonCharacterFFFE || c == kNonCharacterFFFF;
}

QString hex(char32_t c, int width) {
    return QStringLiteral("%1").arg(uint(c), width, kHex, QLatin1Char('0')).toUpper();
}

} // namespace

QString YamlScalar::doubleQuoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (char32_t c : text.toUcs4()) {
        if (c == '"' || c == '\\') {
            out += QLatin1Char('\\') + QChar(c);
        } else if (c == '\n') {
            out += QStringLiteral("\\n");
        } else if (c == '\t') {
            out += QStringLiteral("\\t");
        } else if (c == '\r') {
            out += QStringLiteral("\\r");
        } else if (c <= kLastC1 && mustEscape(c)) {
            out += QStringLiteral("\\x") + hex(c, kHexWidthByte);
        } else if (mustEscape(c)) {
            out += QStringLiteral("\\u") + hex(c, kHexWidthUnit);
        } else {
            out += QString::fromUcs4(&c, 1);
        }
    }
    return out + QLatin1Char('"');
}

std::optional<QString> YamlScalar::literalBlock(const QString& text, int indent) {
    if (!text.contains(QLatin1Char('\n'))) {
        return std::nullopt;
    }
    for (char32_t c : text.toUcs4()) {
        if (c == '\t' || mustEscape(c)) {
            return std::nullopt;
        }
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype trailingEmpty = 0;
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
        ++trailingEmpty;
    }
    // The first line sets the block's indentation, so it must not start with a space; a line ending in
    // white space would be at the mercy of every editor. Either way the text goes in quotes instead.
    if (lines.isEmpty() || lines.first().isEmpty() || lines.first().startsWith(QLatin1Char(' '))) {
        return std::nullopt;
    }
    for (const QString& line : lines) {
        if (line.endsWith(QLatin1Char(' '))) {
            return std::nullopt;
        }
    }
    // "|-" ends at the last line, "|" adds one line break, "|+" keeps every empty line written after it.
    QString out = trailingEmpty == 0   ? QStringLiteral("|-\n")
                  : trailingEmpty == 1 ? QStringLiteral("|\n")
                                       : QStringLiteral("|+\n");
    const QString margin(indent, QLatin1Char(' '));
    for (const QString& line : lines) {
        out += line.isEmpty() ? QStringLiteral("\n") : margin + line + QLatin1Char('\n');
    }
    if (trailingEmpty > 1) {
        out += QString(trailingEmpty - 1, QLatin1Char('\n'));
    }
    return out;
}
