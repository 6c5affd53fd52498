#include "app/startup.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

namespace Startup {

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(OrganizationName);
    QCoreApplication::setOrganizationDomain(OrganizationDomain);
    QCoreApplication::setApplicationName(ApplicationName);
}

int readLanguage(QSettings &settings)
{
    bool ok = false;
    const int value = settings.value(QStringLiteral("language"), QStringLiteral("0")).toInt(&ok);
    return ok ? value : 0;
}

bool installTranslators(int language, QTranslator &appTranslator, QTranslator &qtTranslator)
{
    if (language != 1)
        return false;
    const bool app = appTranslator.load(QStringLiteral(":/Charts/presetman_de"));
    const bool qt = qtTranslator.load(QStringLiteral(":/Charts/qt_de"));
    // A catalogue that fails to load is left out; its texts stay English.
    if (app)
        QCoreApplication::installTranslator(&appTranslator);
    if (qt)
        QCoreApplication::installTranslator(&qtTranslator);
    return app && qt;
}

} // namespace Startup
