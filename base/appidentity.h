#pragma once

#include <QString>

// Who the program is to the system: the names under which QSettings finds the user's settings
// and QStandardPaths the data folder, shared by the window and orvex-pre.
namespace AppIdentity {

inline const QString OrganizationName = QStringLiteral("Quillmoth");
inline const QString OrganizationDomain = QStringLiteral("quillmoth.example");
inline const QString ApplicationName = QStringLiteral("Orvex_presetmanager");
// What the windows and message boxes are titled, and the MIDI client's name.
inline const QString ProgramName = QStringLiteral("Orvex+ Preset Manager");
// The installed .desktop entry, AppStream component and icon are named after it.
inline const QString DesktopId = QStringLiteral("example.quillmoth.OrvexPresetManager");

// Gives the running application the window's names and version.
void apply();

// The program's data folder (export backups, recovery copies, the library database): the
// window's, also when asked from a process that goes by another name, such as orvex-pre.
QString dataFolder();

} // namespace AppIdentity
