#include "base/appidentity.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace AppIdentity {

void apply()
{
    QCoreApplication::setOrganizationName(OrganizationName);
    QCoreApplication::setOrganizationDomain(OrganizationDomain);
    QCoreApplication::setApplicationName(ApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVEX_VERSION));
}

QString dataFolder()
{
    // What QStandardPaths' AppDataLocation is under the window's names, worked out without
    // borrowing them: renaming the application object would race with other threads.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') +
           OrganizationName + QLatin1Char('/') + ApplicationName;
}

} // namespace AppIdentity
