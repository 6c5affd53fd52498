#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>

#include <memory>

namespace {

struct DropBench
{
    MainWindow window;
    std::unique_ptr<QMimeData> mime;
    QPoint target;

    DropBench()
    {
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = window.bankStore.at(b, p);
                r.name = QStringLiteral("Preset %1-%2").arg(b).arg(p);
                r.author = QStringLiteral("Author %1").arg(p % 9);
                r.category = (b + p) % 14;
                r.mark = true;
            }
        window.banksLoaded = true;
        window.clearTable();
        window.updateTable(true);
        window.resize(1280, 800);
        window.show();
        QApplication::processEvents();
    }

    // Banks 1 to 15 (columns 0..14) dragged whole, the pointer entering over row 0 of column 1.
    void prepare()
    {
        if (window.history.canUndo())
            window.on_undo();
        PresetGrid *t = window.table;
        t->scrollToTop();
        t->horizontalScrollBar()->setValue(0);
        t->clearSelection();
        t->setRangeSelected(QTableWidgetSelectionRange(0, 0, PresetsPerBank - 1, BankCount - 2), true);
        t->dragStarted = true;
        mime.reset(t->model()->mimeData(t->selectionModel()->selectedIndexes()));
        target = t->visualItemRect(t->item(0, 1)).center();
        QDragEnterEvent enter(target, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t->viewport(), &enter);
        if (!enter.isAccepted())
            qFatal("bench: the table refused its own drag");
    }

    void drop()
    {
        QDropEvent event(target, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.table->viewport(), &event);
        window.table->viewport()->repaint();
        if (window.historyPos() != (BankCount - 1) * PresetsPerBank)
            qFatal("bench: the drop did not write 1,920 cells");
    }
};

} // namespace

ORVEX_BENCH(dragdrop)
{
    auto bench = std::make_shared<DropBench>();
    return {
        BenchCase{"drop of 1,920 cells + refresh (goal <= 50 ms)", [bench] { bench->drop(); },
                  [bench] { bench->prepare(); }},
    };
}
