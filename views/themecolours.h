#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

// Colours that follow the desktop's palette, light or dark. Widgets that need a colour of their
// own take it from here, so a dark palette never leaves light-only colours behind (the 14
// category colours are the one exception: they are the presets' own).
namespace ThemeColours {

// Light text on dark windows.
bool isDark(const QPalette &palette);

// Fusion's colours for a dark desktop: the setting "palette" = "dark".
QPalette darkPalette();

// Contrast ratio of two colours as WCAG defines it: 1 (same) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

// Text colour for background: black wherever it reads well enough (the look the table has always
// had on the category colours), white on darker colours.
QColor textOn(const QColor &background);

// The colour of the frame that marks a search match on background: the search's yellow where it
// stands out at least 3:1, else a dark line. The other one of the two edges it.
QColor markOn(const QColor &background);
QColor markEdgeOn(const QColor &background);

// The colour of the corner that marks a preset differing in a comparison on background: the
// comparison's red where it stands out at least 3:1, else a dark red, else a pale one (whichever
// reads best). The edge is the lightest or darkest of them, whichever contrasts with the fill.
QColor differenceOn(const QColor &background);
QColor differenceEdgeOn(const QColor &background);

// The category list's style sheet: its long-standing light colours on a light palette, the
// palette's own roles on a dark one.
QString categoryListStyle(const QPalette &palette);

} // namespace ThemeColours
