#include "app/sheetprinter.h"

#include "app/mainwindow.h"
#include "editing/banksheet.h"

#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

void printBankSheet(MainWindow &window)
{
    if (!window.banksLoaded)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(
        QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
    BankSheetSource source;
    source.fileName = QFileInfo(window.document.fileName()).fileName();
    if (source.fileName.isEmpty())
        source.moduleSerial = window.moduleSerial;
    printer.setDocName(source.fileName.isEmpty() ? MainWindow::tr("Bank sheet") : source.fileName);
    printer.setFromTo(1, BankCount);
    QPrintDialog dialog(&printer, &window);
    dialog.setMinMax(1, BankCount);
    dialog.setWindowTitle(MainWindow::tr("Print the bank sheet"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    const int first = range ? printer.fromPage() - 1 : 0;
    const int last = range ? std::min(printer.toPage(), BankCount) - 1 : BankCount - 1;
    for (int b = first; b <= last; ++b)
        source.banks.push_back(b);
    // The painter counts pages itself: the printer must not skip any of them again.
    printer.setPrintRange(QPrinter::AllPages);
    QPainter painter;
    if (!painter.begin(&printer)) {
        window.errorText = MainWindow::tr("The printer can't be started.");
        window.showError();
        return;
    }
    paintBankSheet(painter, printer, window.bankStore, source);
    painter.end();
}
