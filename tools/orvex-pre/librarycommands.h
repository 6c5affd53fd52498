#pragma once

#include <QStringList>

// orvex-pre's "library" commands on the same database as the program's library panel:
// add, remove, update, folders, search and where. Takes the arguments after "library"
// and returns the process exit code (0 done, 1 failed, 2 bad command line).
namespace LibraryCommands {

int run(const QStringList &args);

extern const char *const Help;

} // namespace LibraryCommands
