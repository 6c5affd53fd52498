#include "model/textfold.h"

QString foldedForSearch(const QString &text)
{
    // Fast path: plain ASCII needs no decomposition, only lower case.
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLower();

    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        // The iota subscript is a mark that full case folding keeps as an iota.
        if (c.unicode() == 0x0345) {
            folded.append(QChar(0x03B9));
            continue;
        }
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        folded.append(c);
    }
    // Qt folds one character to one ("Σ" and a final "ς" both to "σ"); the compatibility
    // decomposition above already splits ligatures, which leaves the sharp s as the one full
    // folding in common use.
    folded = folded.toCaseFolded();
    folded.replace(QChar(0x00DF), QLatin1String("ss"));
    return folded;
}
