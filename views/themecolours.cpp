#include "views/themecolours.h"

#include <cmath>

namespace ThemeColours {

namespace {

double relativeLuminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QPalette darkPalette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xf0, 0xf0, 0xf0);
    const QColor disabledText(0x80, 0x80, 0x80);
    QPalette p(text, window, QColor(0x50, 0x50, 0x50), QColor(0x23, 0x23, 0x23), QColor(0x2b, 0x2b, 0x2b),
               text, Qt::white, base, window);
    p.setColor(QPalette::AlternateBase, QColor(0x32, 0x32, 0x32));
    p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
    p.setColor(QPalette::Shadow, QColor(0x14, 0x14, 0x14));
    p.setColor(QPalette::ToolTipBase, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x6f, 0xc0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x5a, 0xa6, 0xf0));
    p.setColor(QPalette::LinkVisited, QColor(0xb0, 0x8c, 0xf0));
    p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    // A disabled list still shows its chosen row (the transfer dialog's ports while connected).
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(0xc8, 0xc8, 0xc8));
    return p;
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a) + 0.05;
    const double lb = relativeLuminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QColor textOn(const QColor &background)
{
    // At least 3:1 keeps the table's black text on all 14 categories (the lowest is 3.7:1).
    return contrast(Qt::black, background) >= 3.0 ? QColor(Qt::black) : QColor(Qt::white);
}

namespace {
const QColor MarkYellow(0xFF, 0xD8, 0x00);
const QColor MarkDark(0x20, 0x20, 0x20);
} // namespace

QColor markOn(const QColor &background)
{
    // One of the two always reaches 3:1: yellow fails only on colours light enough for the dark line.
    return contrast(MarkYellow, background) >= 3.0 ? MarkYellow : MarkDark;
}

QColor markEdgeOn(const QColor &background)
{
    return markOn(background) == MarkYellow ? MarkDark : MarkYellow;
}

namespace {
const QColor DifferenceRed(0xE0, 0x10, 0x60);
const QColor DifferenceDark(0x30, 0x00, 0x08);
const QColor DifferencePale(0xFF, 0xD0, 0xE0);
} // namespace

QColor differenceOn(const QColor &background)
{
    // The red reads on the light categories only; the dark red on every middle one (all the
    // purples and browns, and the selection), the pale one on anything darker.
    QColor best = DifferenceRed;
    for (const QColor &c : {DifferenceRed, DifferenceDark, DifferencePale}) {
        if (contrast(c, background) >= 3.0)
            return c;
        if (contrast(c, background) > contrast(best, background))
            best = c;
    }
    return best;
}

QColor differenceEdgeOn(const QColor &background)
{
    return differenceOn(background) == DifferenceDark ? DifferencePale : DifferenceDark;
}

QString categoryListStyle(const QPalette &palette)
{
    if (!isDark(palette))
        return QStringLiteral("QListView { show-decoration-selected: 1; }"
                              "QListView::item {border-bottom: 1px solid #ffcccc;}"
                              "QListView::item:alternate { background: #EEEEEE;}"
                              "QListView::item:selected { border: 0px solid #c0c0c0;}"
                              "QListView::item:selected:!active { background: qlineargradient(x1: 0, y1: 0, "
                              "x2: 0, y2: 1, stop: 0 "
                              "#ABAFE5, stop: 1 #8588B2);}"
                              "QListView::item:selected:active { background: #e0e0e0}"
                              "QListView::item:hover { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: "
                              "1, stop: 0 #FAFBFE, "
                              "stop: 1 "
                              "#DCDEF1);}");
    // The same rules in the palette's roles, each background with its own text colour.
    return QStringLiteral(
        "QListView { show-decoration-selected: 1; }"
        "QListView::item { border-bottom: 1px solid palette(midlight); }"
        "QListView::item:alternate { background: palette(alternate-base); }"
        "QListView::item:selected { border: 0px solid palette(mid); }"
        "QListView::item:selected:!active { background: palette(highlight); color: "
        "palette(highlighted-text); }"
        "QListView::item:selected:active { background: palette(light); color: palette(text); }"
        "QListView::item:hover { background: palette(midlight); color: palette(text); }");
}

} // namespace ThemeColours
