#pragma once

#include <QStringList>

// The text the editor shows while no key is selected. The year ends the second line.
namespace WelcomeText {
QStringList lines(const QString& year);
} // namespace WelcomeText
