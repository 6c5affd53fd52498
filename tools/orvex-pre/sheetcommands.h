#pragma once

#include <QStringList>

// orvex-pre's bank sheet: "sheet FILE OUT.pdf|OUT.csv [--bank N]". Returns the process
// exit code (0 done, 1 failed, 2 bad command line).
namespace SheetCommands {

int runSheet(const QStringList &args);

extern const char *const Help;

} // namespace SheetCommands
