#include "app/WelcomeText.h"

QStringList WelcomeText::lines(const QString& year) {
    return {
        QStringLiteral("Wordwisp"),
        QStringLiteral("Copyright (c) the Wordwisp developers, ") + year,
        QStringLiteral("Free software: use it, share it and improve it."),
        QString(),
        QStringLiteral("https://wordwisp.org  -  https://wordwisp.org/keys"),
        QStringLiteral("https://wordwisp.org/help  -  https://wordwisp.org/news"),
        QString(),
        QStringLiteral("Help"),
        QStringLiteral("Create keywords and enter the text you want it to appear elsewhere. Open any program or"),
        QStringLiteral("web application, write the keyword, select it and"),
        QStringLiteral("press CTRL+C."),
        QStringLiteral("For more information and video guide Menù > Help"),
        QString(),
        QStringLiteral("Ready."),
    };
}
