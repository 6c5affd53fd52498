#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <memory>

int main(int argc, char *argv[])
{
    // Declaration order gives the teardown order: window, settings, application, translators.
    auto appTranslator = std::make_unique<QTranslator>();
    auto qtTranslator = std::make_unique<QTranslator>();
    Startup::setApplicationIdentity();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    auto app = std::make_unique<QApplication>(argc, argv);
    auto settings = std::make_unique<QSettings>();
    Startup::installTranslators(Startup::readLanguage(*settings), *appTranslator, *qtTranslator);

    auto window = std::make_unique<MainWindow>();
    window->showMaximized();
    const int code = app->exec();

    window.reset();
    settings.reset();
    app.reset();
    qtTranslator.reset();
    appTranslator.reset();
    return code;
}
