// Saves one key over and over, the way the key editor does, until it is killed: the test that kills it
// mid-save checks what is left on disk.
//   save_loop KEYFILE BYTES
// The texts alternate between BYTES letters 'A' and BYTES letters 'B'. Before each save it writes "b" to
// standard output and after it "e" (or "f" when the save failed), unbuffered, so the last letter read
// after a kill tells whether the kill landed inside a save.
#include "platform/TextFile.h"
#include "store/KeyFile.h"

#include <QString>

#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qsizetype size = std::atoll(argv[2]);
    const QString texts[2] = {QString(size, u'A'), QString(size, u'B')};
    for (unsigned long n = 0;; ++n) {
        if (::write(STDOUT_FILENO, "b", 1) != 1)
            return 1;
        const bool saved = TextFile::writeAtomic(path, KeyFile::saveFormat(texts[n % 2]));
        if (::write(STDOUT_FILENO, saved ? "e" : "f", 1) != 1)
            return 1;
    }
}
