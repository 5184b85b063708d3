#pragma once

#include <QRegularExpression>
#include <QString>

// What espanso takes for a variable in a replacement, and the few variables Wordwisp writes itself and
// reads back: the date and time placeholders, and the one that stands for a literal "{{" so that text which
// merely looks like a variable reaches espanso as text.
namespace EspansoVars {

// "{{name}}" with optional white space inside the braces; the name is captured. Anything else between
// double braces ("{{ (>_<) }}") is plain text to espanso.
const QRegularExpression& pattern();

inline const QString kDateName = QStringLiteral("date");
inline const QString kTimeName = QStringLiteral("time");
inline const QString kBracesName = QStringLiteral("wordwisp_braces");
inline const QString kBraces = QStringLiteral("{{");
inline const QString kDatePlaceholder = QStringLiteral("[date]");
inline const QString kTimePlaceholder = QStringLiteral("[time]");
inline const QString kCursorHint = QStringLiteral("$|$");

} // namespace EspansoVars
