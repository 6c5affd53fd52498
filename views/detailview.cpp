#include "views/detailview.h"

#include "model/categorytable.h"
#include "model/presetrecord.h"
#include "views/themecolours.h"

#include <QEvent>
#include <QPixmap>
#include <QStyle>

#include <tuple>

DetailView::DetailView(QWidget *parent) : QWidget(parent)
{
    setupUi(this);
    label->setText(tr("Version %1").arg(QStringLiteral(ORVEX_VERSION)));
    // The two arrow buttons need words for screen readers and the mouse pointer.
    const std::tuple<QWidget *, QString, QString> described[] = {
        {shownAuthorEdit, tr("Author of the selection"), tr("The author all selected presets share")},
        {takeAuthorButton, tr("Take the shown author"),
         tr("Copy the author of the selection into the field below")},
        {newAuthorEdit, tr("Author to assign"), tr("Type an author, then press the \">>\" beside it")},
        {assignAuthorButton, tr("Assign the author"), tr("Give this author to all selected user presets")},
        {categoryList, tr("Categories"), tr("Click a category to give it to all selected user presets")},
    };
    for (const auto &[widget, name, tip] : described) {
        widget->setAccessibleName(name);
        widget->setToolTip(tip);
    }
    newAuthorEdit->setMaxLength(MaxPresetTextLength);
    // The upper button copies down into the field below it: its arrow says so.
    takeAuthorButton->setText(QString());
    takeAuthorButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    for (int i = 0; i < CategoryCount; ++i) {
        QPixmap swatch(20, 20);
        swatch.fill(QColor::fromRgb(categoryTable[i].rgb));
        auto *item = new QListWidgetItem(QIcon(swatch), categoryDisplayName(i));
        item->setSizeHint(QSize(25, 25));
        categoryList->insertItem(i, item);
    }
    categoryList->setBaseSize(100, 25);
    applyListStyle();
    // The form places its controls itself: never narrower than they reach, or a narrow window
    // cuts them (the table beside it gives way instead).
    setMinimumWidth(childrenRect().right() + 1 + childrenRect().left());
}

void DetailView::applyListStyle()
{
    const bool dark = ThemeColours::isDark(palette());
    if (listStyleApplied && dark == listStyleDark)
        return;
    listStyleApplied = true;
    listStyleDark = dark;
    categoryList->setStyleSheet(ThemeColours::categoryListStyle(palette()));
}

void DetailView::changeEvent(QEvent *event)
{
    // The desktop (or the settings) may switch between a light and a dark palette while we run.
    if (event->type() == QEvent::PaletteChange)
        applyListStyle();
    QWidget::changeEvent(event);
}
