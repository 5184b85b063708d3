#pragma once

#include <QList>
#include <QString>

// Writes many new key files at once, each atomically and none over anything that exists. A key is
// staged as a hidden temporary beside its final name; a batch of them reaches the disk with one file
// system sync instead of one per file, and only then is each renamed into place without replacing. A
// crash leaves complete keys or hidden temporaries, never a half-written key; thousands of keys take a
// second, not a minute of single syncs.
class NewKeyFiles {
public:
    NewKeyFiles() = default;
    NewKeyFiles(const NewKeyFiles&) = delete;
    NewKeyFiles& operator=(const NewKeyFiles&) = delete;
    // Temporaries not yet committed are removed.
    ~NewKeyFiles();

    // Stages the content for path (whose folder must exist). False, with error() set, when the
    // temporary could not be written (a full disk, a read-only folder).
    bool stage(const QString& path, const QByteArray& content);
    qsizetype staged() const { return m_staged.size(); }

    enum class Placed { Done, Exists, Failed };
    struct Result {
        QString path;
        Placed placed;
    };
    // Syncs what was staged and renames each into place, in the order staged. The list of staged keys is
    // empty afterwards.
    QList<Result> commit();

    QString error() const { return m_error; }

private:
    struct Staged {
        QString temporary;
        QString path;
    };
    void discard();

    QList<Staged> m_staged;
    QString m_error;
};
