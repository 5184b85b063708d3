#pragma once

#include <QByteArray>
#include <QList>

#include <yaml-cpp/yaml.h>

#include <optional>
#include <string>

// What yaml-cpp 0.7 leaves to its callers when reading files written by hand.
namespace YamlSource {

// Makes a file's bytes ready for yaml-cpp without moving any position its marks report: drops a UTF-8
// byte-order mark and turns a CR that ends a line on its own into LF (yaml-cpp knows only LF and CR LF).
// Returns the 0-based line of the first byte that is not UTF-8 text (NUL included), or -1 when all is well.
int prepare(QByteArray& source);

// The documents of a file, each as the whole file with every other document blanked out (line breaks
// kept), so that yaml-cpp reads one document at a time and every mark it reports is the file's own. yaml-cpp
// 0.7's LoadAll never ends, filling memory with empty documents, when a document's top level holds a stray
// ','; one document at a time it stops. At most kMaxDocuments are returned.
QList<QByteArray> documents(const QByteArray& source);
constexpr qsizetype kMaxDocuments = 1000;

// The value of key in a mapping, following "<<" merge keys (which yaml-cpp 0.7 leaves as ordinary keys):
// the mapping's own entries first, then the merged mappings in the order given.
std::optional<YAML::Node> lookup(const YAML::Node& map, const std::string& key);

// When the scalar whose mark is at pos is a folded block with keep chomping (">+", ">2+", ">+2"), the offset
// of its '>'; -1 otherwise.
qsizetype keepFoldedHeader(const QByteArray& source, int pos);

} // namespace YamlSource
