#include "midi/portnames.h"

#include <QRegularExpression>

namespace PortNames {

namespace {
QString withoutAddress(const QString &name)
{
    static const QRegularExpression address(QStringLiteral("\\s\\d+:\\d+$"));
    return QString(name).remove(address);
}
} // namespace

int find(const QStringList &names, const QString &name)
{
    if (name.isEmpty())
        return -1;
    const int exact = int(names.indexOf(name));
    if (exact >= 0)
        return exact;
    const QString bare = withoutAddress(name);
    int found = -1;
    for (int i = 0; i < names.size(); ++i) {
        if (withoutAddress(names.at(i)) != bare)
            continue;
        if (found >= 0)
            return -1; // two candidates: neither is surely the one meant
        found = i;
    }
    return found;
}

} // namespace PortNames
