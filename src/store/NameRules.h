#pragma once

#include <QString>
#include <QStringList>

// What a key or category name may be. Names are used verbatim as file and folder names (no trimming, no
// change of case), so the rules only refuse what would leave the store's folder, break the store where it
// came from (Windows file names), or make an entry the listings never show again.
namespace NameRules {

// True when nothing but spaces is left of the text: such a name is no entry of the lists.
bool isBlank(const QString& text);

// False for a name that is empty or only blanks, is "." or "..", begins with a dot (the listings skip
// hidden entries), or holds one of \ / : * ? " < > |, a control character or half of a character (an
// unpaired surrogate).
bool isAcceptable(const QString& name);

// A character no name may hold anywhere: one of \\ / : * ? " < > | or a control character.
bool isForbiddenCharacter(QChar c);

// Two names that the store's home platform would take for the same file: equal without regard to case.
bool sameName(const QString& a, const QString& b);

// True when name is taken by an entry of existing other than except (compared exactly): renaming a key
// to another letter case of its own name is no clash, renaming it onto a different key is.
bool clashes(const QString& name, const QStringList& existing, const QString& except = {});

} // namespace NameRules
