#pragma once

#include <QString>

#include <optional>

// Writing any text as a YAML scalar that reads back exactly.
namespace YamlScalar {

// The text in double quotes, escaping whatever YAML may not carry raw or would change on reading: line
// breaks, tabs, control characters, DEL, NEL, U+2028/U+2029, U+FEFF, U+FFFE/U+FFFF, quotes, backslashes.
QString doubleQuoted(const QString& text);

// The text as a literal block ("|", "|-" or "|+" and its lines, each line after the header indented by
// indent spaces and ended by LF), for plain multi-line text where that is unambiguous; nothing otherwise.
std::optional<QString> literalBlock(const QString& text, int indent);

} // namespace YamlScalar
