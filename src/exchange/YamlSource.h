#pragma once

#include <QByteArray>

#include <yaml-cpp/yaml.h>

#include <optional>
#include <string>

// What yaml-cpp 0.7 leaves to its callers when reading files written by hand.
namespace YamlSource {

// Makes a file's bytes ready for yaml-cpp without moving any position its marks report: drops a UTF-8
// byte-order mark and turns a CR that ends a line on its own into LF (yaml-cpp knows only LF and CR LF).
// Returns the 0-based line of the first byte that is not UTF-8 text (NUL included), or -1 when all is well.
int prepare(QByteArray& source);

// The value of key in a mapping, following "<<" merge keys (which yaml-cpp 0.7 leaves as ordinary keys):
// the mapping's own entries first, then the merged mappings in the order given.
std::optional<YAML::Node> lookup(const YAML::Node& map, const std::string& key);

// When the scalar whose mark is at pos is a folded block with keep chomping (">+", ">2+", ">+2"), the offset
// of its '>'; -1 otherwise.
qsizetype keepFoldedHeader(const QByteArray& source, int pos);

} // namespace YamlSource
