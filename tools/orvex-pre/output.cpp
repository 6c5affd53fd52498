#include "output.h"

#include <cstdio>

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void writeOut(const QString &text)
{
    writeOut(text.toLocal8Bit());
    std::fflush(stdout);
}

void writeErr(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

int usageError(const QString &text)
{
    writeErr(QStringLiteral("orvex-pre: %1\nTry 'orvex-pre --help'.\n").arg(text));
    return Usage;
}

int failure(const QString &text)
{
    writeErr(QStringLiteral("orvex-pre: %1\n").arg(text));
    return Failed;
}

int finishOutput(int exitCode)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return exitCode;
    writeErr(QStringLiteral("orvex-pre: standard output can't be written completely\n"));
    return exitCode == Success ? Failed : exitCode;
}

int fileFailure(const QString &fileName, const QString &text)
{
    writeErr(QStringLiteral("%1: %2\n").arg(fileName, text));
    return Failed;
}
