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
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        folded.append(c);
    }
    // toCaseFolded is not public API for QString; lower case after decomposition is what
    // the searches need ("ß" stays "ß", which a user types as such).
    return folded.toLower();
}
