#pragma once

#include <QByteArray>
#include <QString>

// What every orvex-pre command prints and returns.

// The exit codes are an interface for scripts: keep them stable.
enum ExitCode {
    Success = 0,
    Failed = 1, // check, dump, copy: a file failed a check or was not written; diff: presets differ
    Usage = 2,  // bad command line; diff: a file failed a check
};

// Bytes to standard output as they are.
void writeOut(const QByteArray &bytes);
// Text to standard output in the terminal's encoding, at once (progress lines and questions).
void writeOut(const QString &text);
// Text to standard error in the terminal's encoding, at once.
void writeErr(const QString &text);
// "orvex-pre: <text>" and where to find help; returns Usage.
int usageError(const QString &text);
// "orvex-pre: <text>"; returns Failed.
int failure(const QString &text);
// "<file>: <text>"; returns Failed.
int fileFailure(const QString &fileName, const QString &text);
// The exit code once a command ran: output that could not be written (a pipe whose reader
// quit, a full disk) is a failure and says so.
int finishOutput(int exitCode);
