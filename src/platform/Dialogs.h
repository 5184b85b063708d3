#pragma once

#include <QString>

// Modal message and input boxes. Styles and answers keep their classic values so that callers read the
// same on every platform.
namespace BoxStyle {
constexpr int Critical = 16;      // stop icon, OK
constexpr int YesNoQuestion = 36; // question icon, Yes and No
constexpr int Information = 64;   // information icon, OK
} // namespace BoxStyle

namespace BoxAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace BoxAnswer

inline const QString kAppTitle = QStringLiteral("Wordwisp");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual int messageBox(const QString& text, int style, const QString& title = kAppTitle) = 0;
    // Returns the text entered, or the empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = {}) = 0;
};
