#pragma once

#include <QStringList>
#include <QTranslator>

// The program's German catalogue, noting every text of the program's own it has no words
// for (of `context` only, when one is given): install it, make the texts, then check
// `missing`. Qt's own classes (QDockWidget, ...) are left to Qt's catalogues.
class GermanOrMissing : public QTranslator
{
public:
    explicit GermanOrMissing(const char *context = nullptr) : onlyContext(context) {}
    bool load() { return german.load(QStringLiteral(":/translations/presetman_de")); }
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *disambiguation,
                      int n) const override
    {
        const QString text = german.translate(context, source, disambiguation, n);
        const bool qts = context && context[0] == 'Q' && QChar::isUpper(uchar(context[1]));
        if (text.isEmpty() && !qts && (!onlyContext || qstrcmp(context, onlyContext) == 0))
            missing << QString::fromUtf8(context) + QLatin1String(": ") + QString::fromUtf8(source);
        return text;
    }
    mutable QStringList missing;

private:
    const char *onlyContext;
    QTranslator german;
};
