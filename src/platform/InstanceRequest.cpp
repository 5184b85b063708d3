#include "platform/InstanceRequest.h"

namespace {
const QByteArray kMagic = QByteArrayLiteral("wordwisp/");

bool isCommandWord(const QByteArray& word) {
    if (word.isEmpty())
        return false;
    for (const char c : word) {
        if ((c < 'a' || c > 'z') && c != '-')
            return false;
    }
    return true;
}

// What percent-encoding leaves as it is; everything else, spaces and line breaks first, is %XX.
bool isPlainByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '%';
}
} // namespace

QByteArray InstanceRequest::encode() const {
    QByteArray line = kMagic + QByteArray::number(kVersion) + ' ' + command.toUtf8();
    for (const QString& argument : arguments)
        line += ' ' + argument.toUtf8().toPercentEncoding();
    line += '\n';
    return line.size() <= kMaxBytes && isCommandWord(command.toUtf8()) ? line : QByteArray();
}

std::optional<InstanceRequest> InstanceRequest::decode(const QByteArray& received) {
    if (received.size() > kMaxBytes)
        return std::nullopt;
    QByteArray line = received;
    if (line.endsWith('\n'))
        line.chop(1);
    if (!line.startsWith(kMagic))
        return std::nullopt;
    const QList<QByteArray> words = line.mid(kMagic.size()).split(' ');
    if (words.size() < 2 || words.at(0) != QByteArray::number(kVersion) || !isCommandWord(words.at(1)))
        return std::nullopt;
    InstanceRequest request;
    request.command = QString::fromLatin1(words.at(1));
    for (qsizetype i = 2; i < words.size(); ++i) {
        const QByteArray& word = words.at(i);
        for (const char c : word) {
            if (!isPlainByte(c))
                return std::nullopt;
        }
        const QByteArray bytes = QByteArray::fromPercentEncoding(word);
        const QString text = QString::fromUtf8(bytes);
        // Bytes that are no UTF-8 would turn into replacement characters: a name that names nothing.
        if (text.toUtf8() != bytes)
            return std::nullopt;
        request.arguments.append(text);
    }
    return request;
}
