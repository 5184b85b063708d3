#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One request to the running instance as it travels over the single-instance socket: a single line
//     wordwisp/1 <command>[ <argument>...]\n
// of at most kMaxBytes, the arguments percent-encoded so that a key or category name with spaces or line
// breaks stays one argument. The version comes first so that a later program can tell a request it
// cannot read from one it can; a line that is not exactly this shape is no request at all.
struct InstanceRequest {
    // Room for a command and a key name with its category; a client that sends more is not one of ours.
    static constexpr int kMaxBytes = 1024;
    static constexpr int kVersion = 1;

    QString command;
    QStringList arguments;

    // The line, with its line feed; empty when it would not fit in kMaxBytes.
    QByteArray encode() const;
    // A line as it arrived, with or without its line feed; nothing for any other version, a command that
    // is not a lower-case word, a stray byte or an oversized line.
    static std::optional<InstanceRequest> decode(const QByteArray& line);
};
