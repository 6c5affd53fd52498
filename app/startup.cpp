#include "app/startup.h"

#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "base/brokenpipes.h"
#include "device/programbackend.h"
#include "device/simulatordevice.h"
#include "views/pictures.h"
#include "views/themecolours.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <memory>

namespace Startup {

namespace {
const QString LanguageKey = QStringLiteral("language");

// Runs `then` once the window is on the screen and placed, so a question or an error box it
// shows opens over the window, not in a corner of the screen.
void whenShown(QWidget *window, std::function<void()> then)
{
    auto *poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, window, [window, poll, then = std::move(then)] {
        if (!window->windowHandle() || !window->windowHandle()->isExposed())
            return;
        poll->stop();
        poll->deleteLater();
        then();
    });
    poll->start(10);
}
} // namespace

int readLanguage(QSettings &settings)
{
    bool ok = false;
    const int value = settings.value(LanguageKey, QStringLiteral("0")).toInt(&ok);
    return ok ? value : 0;
}

void writeLanguage(QSettings &settings, int language)
{
    settings.setValue(LanguageKey, language);
}

bool installTranslators(int language, QTranslator &appTranslator, QTranslator &qtTranslator)
{
    if (language != 1)
        return false;
    const bool app = appTranslator.load(QStringLiteral(":/translations/presetman_de"));
    const bool qt = qtTranslator.load(QStringLiteral(":/translations/qt_de"));
    // A catalogue that fails to load is left out; its texts stay English.
    if (app)
        QCoreApplication::installTranslator(&appTranslator);
    if (qt)
        QCoreApplication::installTranslator(&qtTranslator);
    return app && qt;
}

void applyPaletteSetting(QSettings &settings)
{
    const QString choice = settings.value(QStringLiteral("palette")).toString();
    if (choice == QLatin1String("dark"))
        QApplication::setPalette(ThemeColours::darkPalette());
    else if (choice == QLatin1String("light"))
        QApplication::setPalette(QApplication::style()->standardPalette());
}

namespace {

void setUpParser(QCommandLineParser &parser)
{
    // Qt's own options are single-dash words: "-stylesheet" must not read as -s -t -y ... -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Orvex+ Preset Manager: a librarian and editor for the presets of the Orvex+ sound "
                       "module.\nQt's own options (-platform, -style, -reverse, ...) are accepted too."));
    // Not addHelpOption(): its --help-all would promise Qt's options, which only QApplication knows.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                        QStringLiteral("Displays help on commandline options.")));
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("simulator"),
        QStringLiteral("Add the built-in module simulator, \"Orvex+ Simulator\", to the MIDI ports "
                       "(also ORVEX_SIMULATOR=1).")));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A .pre or .syx file to open, as Load would."),
                                 QStringLiteral("[file]"));
}

} // namespace

std::optional<QString> commandLineAnswer(const QStringList &arguments)
{
    QCommandLineParser parser;
    setUpParser(parser);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.parse(arguments);
    if (parser.isSet(version))
        return QStringLiteral("orvex-presetmanager %1\n").arg(QStringLiteral(ORVEX_VERSION));
    if (parser.isSet(help))
        return parser.helpText();
    return std::nullopt;
}

QString fileToOpen(const QStringList &arguments)
{
    QCommandLineParser parser;
    setUpParser(parser);
    parser.parse(arguments);
    return parser.positionalArguments().value(0);
}

QString simulatorFaultError(const QStringList &arguments, const QProcessEnvironment &environment)
{
    // A misspelt fault would leave the simulator well-behaved and the trial meaningless.
    if (!ProgramBackend::simulatorRequested(arguments, environment))
        return QString();
    return SimulatorDevice::faultListError(environment);
}

void quitWhenShown(QWidget *window)
{
    auto *poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, [window, poll] {
        if (window->windowHandle() && window->windowHandle()->isExposed()) {
            poll->stop();
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    });
    poll->start(0);
}

int runApplication(int &argc, char **argv, bool exitWhenShown)
{
    BrokenPipes::reportInsteadOfDying();
    {
        // Answered before QApplication exists, so --help and --version work without a display.
        QCoreApplication probe(argc, argv);
        if (const std::optional<QString> answer = commandLineAnswer(QCoreApplication::arguments())) {
            std::fputs(answer->toLocal8Bit().constData(), stdout);
            return 0;
        }
        const QString faults =
            simulatorFaultError(QCoreApplication::arguments(), QProcessEnvironment::systemEnvironment());
        if (!faults.isEmpty()) {
            std::fprintf(stderr, "orvex-presetmanager: %s\n", qPrintable(faults));
            return 2;
        }
    }
    // Declaration order gives the teardown order: window, settings, application, translators.
    auto appTranslator = std::make_unique<QTranslator>();
    auto qtTranslator = std::make_unique<QTranslator>();
    AppIdentity::apply();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    auto app = std::make_unique<QApplication>(argc, argv);
    QGuiApplication::setDesktopFileName(AppIdentity::DesktopId);
    // The window frame's icon, built in. Small sizes only, from their raw copies: the window
    // system takes them all when the window is made, and docks and task switchers take the
    // large ones from the installed icon theme.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        Pictures::addSize(
            icon, QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppIdentity::DesktopId));
    QApplication::setWindowIcon(icon);
    auto settings = std::make_unique<QSettings>();
    installTranslators(readLanguage(*settings), *appTranslator, *qtTranslator);
    applyPaletteSetting(*settings);

    auto window = std::make_unique<MainWindow>();
    window->showMaximized();
    if (!exitWhenShown) {
        // A file named on the command line (the desktop's "open with") opens once the
        // question about a crashed run's work is answered.
        const QString file = fileToOpen(QCoreApplication::arguments());
        whenShown(window.get(), [w = window.get(), file] {
            w->offerRecovery();
            if (!file.isEmpty())
                w->openFile(file);
        });
    }
    if (exitWhenShown)
        quitWhenShown(window.get());
    const int code = app->exec();

    window.reset();
    settings.reset();
    app.reset();
    qtTranslator.reset();
    appTranslator.reset();
    return code;
}

} // namespace Startup
