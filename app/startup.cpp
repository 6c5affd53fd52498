#include "app/startup.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <memory>

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

int runApplication(int &argc, char **argv, bool exitWhenShown)
{
    // Declaration order gives the teardown order: window, settings, application, translators.
    auto appTranslator = std::make_unique<QTranslator>();
    auto qtTranslator = std::make_unique<QTranslator>();
    setApplicationIdentity();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    auto app = std::make_unique<QApplication>(argc, argv);
    auto settings = std::make_unique<QSettings>();
    installTranslators(readLanguage(*settings), *appTranslator, *qtTranslator);

    auto window = std::make_unique<MainWindow>();
    window->showMaximized();
    if (exitWhenShown) {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, [&window] {
            if (window->windowHandle() && window->windowHandle()->isExposed())
                QCoreApplication::quit();
        });
        poll->start(0);
    }
    const int code = app->exec();

    window.reset();
    settings.reset();
    app.reset();
    qtTranslator.reset();
    appTranslator.reset();
    return code;
}

} // namespace Startup
