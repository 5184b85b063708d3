#include "store/StorePaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}
} // namespace

StorePaths::StorePaths(QString applicationFolder) : m_app(withoutTrailingSeparator(std::move(applicationFolder))) {}

QString StorePaths::applicationFolder() {
    const QString home = qEnvironmentVariable("WORDWISP_HOME");
    const QString folder = home.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(home).absolutePath();
    return withoutTrailingSeparator(QDir::fromNativeSeparators(folder));
}

QString StorePaths::root() const {
    return m_app + QStringLiteral("/Db");
}

QString StorePaths::catIni() const {
    return root() + QStringLiteral("/Cat.ini");
}

QString StorePaths::category(const QString& name) const {
    return root() + u'/' + name;
}

QString StorePaths::keyFile(const QString& categoryName, const QString& keyName) const {
    return category(categoryName) + u'/' + keyName;
}
