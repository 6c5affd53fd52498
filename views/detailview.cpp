#include "views/detailview.h"

#include "model/categorytable.h"
#include "model/presetrecord.h"

#include <QPixmap>

DetailView::DetailView(QWidget *parent) : QWidget(parent)
{
    setupUi(this);
    AuthorDoEdit->setMaxLength(MaxPresetTextLength);
    for (int i = 0; i < CategoryCount; ++i) {
        QPixmap swatch(20, 20);
        swatch.fill(QColor::fromRgb(categoryTable[i].rgb));
        auto *item = new QListWidgetItem(QIcon(swatch), QString::fromLatin1(categoryTable[i].name));
        item->setSizeHint(QSize(25, 25));
        GroupsList->insertItem(i, item);
    }
    GroupsList->setBaseSize(100, 25);
    GroupsList->setStyleSheet(QStringLiteral(
        "QListView { show-decoration-selected: 1; }"
        "QListView::item {border-bottom: 1px solid #ffcccc;}"
        "QListView::item:alternate { background: #EEEEEE;}"
        "QListView::item:selected { border: 0px solid #c0c0c0;}"
        "QListView::item:selected:!active { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 "
        "#ABAFE5, stop: 1 #8588B2);}"
        "QListView::item:selected:active { background: #e0e0e0}"
        "QListView::item:hover { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #FAFBFE, "
        "stop: 1 "
        "#DCDEF1);}"));
}
