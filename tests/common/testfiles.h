#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Crafted files for the file-format tests: written whole or not at all.
inline QString writeTestFile(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(fileName));
    return f.fileName();
}

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readTestFile(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
