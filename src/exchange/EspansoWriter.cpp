#include "exchange/EspansoWriter.h"

#include "exchange/EspansoVars.h"
#include "exchange/YamlScalar.h"

namespace {

const QString kHeader = EspansoWriter::kFirstLine + u'\n';
const QString kMatchIndent = QStringLiteral("  ");
const QString kEntryIndent = QStringLiteral("    ");
constexpr int kBlockIndent = 6;

struct Variable {
    QString name;
    QString type;
    QString paramKey;
    QString paramValue;
};

// Text that only looks like an espanso variable gets its "{{" from a variable that types "{{", so espanso
// types it as it stands; then the placeholders become the date and time variables. "[date]" turns into a
// complete "{{date}}", which no neighbouring character can make part of a longer variable.
QString espansoText(QString text, QList<Variable>& used) {
    QList<qsizetype> starts;
    auto found = EspansoVars::pattern().globalMatch(text);
    while (found.hasNext()) {
        starts.prepend(found.next().capturedStart());
    }
    const QString bracesVariable = QStringLiteral("{{%1}}").arg(EspansoVars::kBracesName);
    for (qsizetype start : starts) {
        text.replace(start, EspansoVars::kBraces.size(), bracesVariable);
    }
    if (!starts.isEmpty()) {
        used << Variable{EspansoVars::kBracesName, QStringLiteral("echo"), QStringLiteral("echo"),
                         EspansoVars::kBraces};
    }
    const auto placeholder = [&](const QString& from, const QString& name, const QString& format) {
        if (text.contains(from)) {
            text.replace(from, QStringLiteral("{{%1}}").arg(name));
            used << Variable{name, QStringLiteral("date"), QStringLiteral("format"), format};
        }
    };
    placeholder(EspansoVars::kDatePlaceholder, EspansoVars::kDateName, EspansoWriter::kDateFormat);
    placeholder(EspansoVars::kTimePlaceholder, EspansoVars::kTimeName, EspansoWriter::kTimeFormat);
    return text;
}

} // namespace

QByteArray EspansoWriter::document(const QList<Key>& keys) {
    QString out = kHeader;
    if (keys.isEmpty()) {
        out += QStringLiteral("matches: []\n");
        return out.toUtf8();
    }
    out += QStringLiteral("matches:\n");
    for (const Key& key : keys) {
        QList<Variable> used;
        const QString text = espansoText(key.lines.join(QLatin1Char('\n')), used);
        out += kMatchIndent + QStringLiteral("- trigger: ") + YamlScalar::doubleQuoted(key.name) + QLatin1Char('\n');
        out +=
            kEntryIndent + QStringLiteral("replace: ") +
            YamlScalar::literalBlock(text, kBlockIndent).value_or(YamlScalar::doubleQuoted(text) + QLatin1Char('\n'));
        if (used.isEmpty()) {
            continue;
        }
        out += kEntryIndent + QStringLiteral("vars:\n");
        for (const Variable& variable : used) {
            out += kEntryIndent + QStringLiteral("  - name: ") + variable.name + QLatin1Char('\n');
            out += kEntryIndent + QStringLiteral("    type: ") + variable.type + QLatin1Char('\n');
            out += kEntryIndent + QStringLiteral("    params:\n");
            out += kEntryIndent + QStringLiteral("      ") + variable.paramKey + QStringLiteral(": ") +
                   YamlScalar::doubleQuoted(variable.paramValue) + QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}
