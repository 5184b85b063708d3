#pragma once

// The store the picker benches search: keys named as users name them, with texts of a few lines of
// ordinary words, the same every run.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace PickerStore {

inline const QStringList& words() {
    static const QStringList list = {
        "best",   "regards", "thank",    "you",    "meeting", "tomorrow", "invoice", "attached", "please",
        "find",   "address", "street",   "road",   "town",    "kind",     "wishes",  "support",  "ticket",
        "order",  "number",  "delivery", "office", "phone",   "call",     "back",    "soon",     "project",
        "report", "weekly",  "status",   "review", "draft",   "final",    "version", "monday",   "friday"};
    return list;
}

// A small generator of its own, so every run and every machine gets the same texts.
class Words {
public:
    explicit Words(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    const QString& next() {
        m_state = m_state * 1664525u + 1013904223u;
        return words().at(int((m_state >> 8) % std::uint32_t(words().size())));
    }

private:
    std::uint32_t m_state;
};

// The name of key number index: "sig", "addr2"-like names made of a word and a number.
inline QString keyName(int index) {
    return words().at(index % int(words().size())) + QString::number(index);
}

// Three lines of about 40 characters each, as a key file holds them (CR LF).
inline QString keyText(int index) {
    Words pick{std::uint32_t(index)};
    QString text;
    for (int line = 0; line < 3; ++line) {
        if (line > 0)
            text += QStringLiteral("\r\n");
        for (int word = 0; word < 6; ++word)
            text += (word > 0 ? QStringLiteral(" ") : QString()) + pick.next();
    }
    return text;
}

} // namespace PickerStore
