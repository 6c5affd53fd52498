#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QProcessEnvironment;
class QSettings;
class QTranslator;
class QWidget;

namespace Startup {

// "language" as an integer; anything but 1 (including text) means English.
int readLanguage(QSettings &settings);
// Keeps `language` (0 English, 1 German) as "language" for the next start.
void writeLanguage(QSettings &settings, int language);

// Loads and installs the German catalogues when language is exactly 1.
// Returns whether both catalogues loaded.
bool installTranslators(int language, QTranslator &appTranslator, QTranslator &qtTranslator);

// The setting "palette": "dark" gives Fusion's dark colours, "light" its light ones; anything
// else (the default) keeps the desktop's palette. Needs the QApplication.
void applyPaletteSetting(QSettings &settings);

// What --help or --version print, or nothing when the window should start. Options it does not
// know are left alone: they may be Qt's own (-platform, -style, ...). Needs a QCoreApplication.
std::optional<QString> commandLineAnswer(const QStringList &arguments);
// The file named on the command line (after QApplication took its own options), or empty.
QString fileToOpen(const QStringList &arguments);
// Why the built-in simulator's ORVEX_SIMULATOR_FAULTS cannot be read, when the simulator is
// asked for; empty otherwise. The program then stops with exit code 2.
QString simulatorFaultError(const QStringList &arguments, const QProcessEnvironment &environment);

// Start-up timing: once `window` is on screen, says "shown" on standard output and ends the
// event loop.
void quitWhenShown(QWidget *window);

// The whole program: identity, style, application, catalogues, the maximised
// main window and the event loop, torn down in that order's reverse. With
// exitWhenShown the loop ends as soon as the window is on screen, which it reports
// with a line "shown" on standard output (start-up timing).
int runApplication(int &argc, char **argv, bool exitWhenShown = false);

} // namespace Startup
