#pragma once

#include <QStringList>

// orvex-pre's transfers with the module, on the same state machine as the program's
// transfer dialog: "ports", "import" and "export". Each takes the arguments after its
// name and returns the process exit code (0 done, 1 failed, 2 bad command line).
namespace TransferCommands {

int runPorts(const QStringList &args);
int runImport(const QStringList &args);
int runExport(const QStringList &args);

// The options the three share, for the help text.
extern const char *const OptionsHelp;

} // namespace TransferCommands
