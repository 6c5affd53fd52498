#include "files/recentfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString Key = QStringLiteral("recentfiles");
} // namespace

QString RecentFiles::normalised(const QString &fileName)
{
    return fileName.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

QStringList RecentFiles::withFile(const QStringList &files, const QString &fileName)
{
    const QString path = normalised(fileName);
    QStringList result;
    if (!path.isEmpty())
        result << path;
    for (const QString &f : files) {
        const QString other = normalised(f);
        if (!other.isEmpty() && !result.contains(other))
            result << other;
    }
    return result.mid(0, MaxFiles);
}

QStringList RecentFiles::files() const
{
    // Settings edited by hand may hold anything: the same rules as when it was written.
    return withFile(settings.value(Key).toStringList(), QString());
}

void RecentFiles::add(const QString &fileName)
{
    settings.setValue(Key, withFile(files(), fileName));
}

void RecentFiles::remove(const QString &fileName)
{
    QStringList list = files();
    list.removeAll(normalised(fileName));
    settings.setValue(Key, list);
}

void RecentFiles::clear()
{
    settings.remove(Key);
}
