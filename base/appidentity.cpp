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
    const QString organization = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    if (organization == OrganizationName && application == ApplicationName)
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // QStandardPaths reads the names from the application object only: borrow the window's.
    QCoreApplication::setOrganizationName(OrganizationName);
    QCoreApplication::setApplicationName(ApplicationName);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setOrganizationName(organization);
    QCoreApplication::setApplicationName(application);
    return folder;
}

} // namespace AppIdentity
