#pragma once

#include <QString>

// Text as searches compare it: fully case-folded, accents and other combining marks removed
// ("Jürgen" and "JURGEN" both become "jurgen", "Straße" "strasse", "ΟΔΟΣ" and "οδος"
// "οδοσ"), so a search finds what the user meant.
// Used by the table search and the library index, which must agree.
QString foldedForSearch(const QString &text);
