#include "views/tablezoom.h"

#include "views/presetcelldelegate.h"
#include "views/presettable.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTableWidget>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
const QString WidthKey = QStringLiteral("columnwidth");
// Steps a little larger than the last, so each press looks like the same change.
constexpr int Steps[] = {40, 50, 60, 70, 80, 90, 100, 115, 130, 150, 175, 200, 230, 260, 300};
// Text stays readable and fits its cell between these font scales.
constexpr double MinScale = 0.75;
constexpr double MaxScale = 1.6;
} // namespace

TableZoom::TableZoom(QTableView *table, PresetCellDelegate *delegate, QSettings &settings,
                     QWidget *shortcutScope)
    : QObject(table), table(table), viewport(table->viewport()), delegate(delegate), settings(settings),
      baseRowHeight(table->verticalHeader()->defaultSectionSize())
{
    const std::pair<QKeySequence, void (TableZoom::*)()> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), &TableZoom::zoomIn},
        // Ctrl+= is where plus is on US keyboards without Shift.
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), &TableZoom::zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), &TableZoom::zoomOut},
        {QKeySequence(Qt::CTRL | Qt::Key_0), &TableZoom::fitAll},
    };
    for (const auto &[key, slot] : keys) {
        auto *shortcut = new QShortcut(key, shortcutScope);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    }
    viewport->installEventFilter(this);
    table->installEventFilter(this);

    // Applied, not stored again: the settings file is written when the user zooms, not at every start.
    bool ok = false;
    const int stored = settings.value(WidthKey, NormalWidth).toInt(&ok);
    fitting = ok && stored == 0;
    apply(fitting ? fittingWidth() : ok ? std::clamp(stored, MinWidth, MaxWidth) : NormalWidth);
}

int TableZoom::columnWidth() const
{
    return table->horizontalHeader()->defaultSectionSize();
}

void TableZoom::zoomIn()
{
    const int now = columnWidth();
    const int *next = std::upper_bound(std::begin(Steps), std::end(Steps), now);
    setWidth(next == std::end(Steps) ? MaxWidth : *next, false);
}

void TableZoom::zoomOut()
{
    const int now = columnWidth();
    const int *below = std::lower_bound(std::begin(Steps), std::end(Steps), now);
    setWidth(below == std::begin(Steps) ? MinWidth : *(below - 1), false);
}

void TableZoom::fitAll()
{
    setWidth(0, true);
}

void TableZoom::setWidth(int width, bool fit)
{
    fitting = fit;
    settings.setValue(WidthKey, fit ? 0 : width);
    apply(fit ? fittingWidth() : width);
}

int TableZoom::fittingWidth() const
{
    // Counted as if the vertical scroll bar were always there, so that rows shrinking
    // enough to hide it do not make the columns grow again.
    const int room = table->maximumViewportSize().width() - table->verticalScrollBar()->sizeHint().width();
    const int columns = std::max(1, table->model() ? table->model()->columnCount() : 1);
    return std::clamp(room / columns, MinWidth, MaxWidth);
}

void TableZoom::apply(int width)
{
    const double scale = std::clamp(double(width) / NormalWidth, MinScale, MaxScale);
    delegate->setScale(scale);
    table->horizontalHeader()->setDefaultSectionSize(width);
    table->verticalHeader()->setDefaultSectionSize(int(std::lround(baseRowHeight * scale)));
    if (auto *presets = qobject_cast<QTableWidget *>(table))
        PresetTable::setColumnHeaders(presets);
    table->viewport()->update();
}

bool TableZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == table && event->type() == QEvent::Resize && fitting) {
        const int width = fittingWidth();
        if (width != columnWidth())
            apply(width);
    } else if (watched == viewport && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!wheel->modifiers().testFlag(Qt::ControlModifier))
            return false;
        // Fine-grained wheels and touchpads send parts of a notch; step once per notch.
        wheelRest += wheel->angleDelta().y();
        while (wheelRest >= 120) {
            wheelRest -= 120;
            zoomIn();
        }
        while (wheelRest <= -120) {
            wheelRest += 120;
            zoomOut();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
