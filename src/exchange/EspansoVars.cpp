#include "exchange/EspansoVars.h"

const QRegularExpression& EspansoVars::pattern() {
    // Name characters as a Unicode word character (letters with their marks, digits, connector
    // punctuation such as '_'), plus '.' and '-'. Erring on the wide side is safe for the writer: every
    // such "{{" it protects comes out as "{{" whether or not espanso would have taken it for a variable.
    static const QRegularExpression re(QStringLiteral(R"(\{\{\s*([\p{L}\p{M}\p{N}\p{Pc}.\-]+)\s*\}\})"),
                                       QRegularExpression::UseUnicodePropertiesOption);
    return re;
}
