#pragma once

#include <QStringList>

// orvex-pre's conversions between preset files and SysEx files: "syx" and "pre". Each
// takes the arguments after its name and returns the process exit code (0 done,
// 1 failed, 2 bad command line).
namespace SyxCommands {

int runSyx(const QStringList &args);
int runPre(const QStringList &args);
int runMid(const QStringList &args);

// What the two commands do with banks, for the help text.
extern const char *const Help;

} // namespace SyxCommands
