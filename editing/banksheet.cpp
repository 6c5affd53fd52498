#include "editing/banksheet.h"

#include "files/wholefilewriter.h"
#include "model/categorytable.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace {

QString tr(const char *source)
{
    return QCoreApplication::translate("BankSheet", source);
}

constexpr int RowsPerBlock = PresetsPerBank / 2;

QString bankTitle(int bank)
{
    return bank == 0 ? tr("Bank %1 (factory)").arg(bank + 1) : tr("Bank %1").arg(bank + 1);
}

// Names may hold line breaks: on paper they are one line.
QString oneLine(const QString &text)
{
    QString s = text;
    for (QChar &c : s)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return s;
}

void paintPage(QPainter &painter, const QRectF &area, const BankStore &store, const BankSheetSource &source,
               int bank, int page, int pages)
{
    const QString what =
        source.fileName.isEmpty()
            ? (source.moduleSerial.isEmpty() ? tr("from the module")
                                             : tr("from the module, serial %1").arg(source.moduleSerial))
            : source.fileName;
    const QString date = QLocale().toString(source.printed, QLocale::ShortFormat);

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8);
    QFont bold = font;
    bold.setBold(true);
    QFont heading = bold;
    heading.setPointSizeF(12);

    // Heading: the bank, what it comes from and the date; footer: the page number.
    painter.setPen(Qt::black);
    painter.setFont(heading);
    const qreal headingHeight = QFontMetricsF(heading, painter.device()).height() * 1.6;
    painter.drawText(QRectF(area.left(), area.top(), area.width(), headingHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, bankTitle(bank) + QStringLiteral(" \u2013 ") + what);
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), headingHeight),
                     Qt::AlignRight | Qt::AlignVCenter, date);
    const qreal footerHeight = QFontMetricsF(font, painter.device()).height() * 1.6;
    painter.drawText(QRectF(area.left(), area.bottom() - footerHeight, area.width(), footerHeight),
                     Qt::AlignHCenter | Qt::AlignVCenter, tr("Page %1 of %2").arg(page).arg(pages));

    // Two column blocks of 64 rows under a row of column titles.
    const qreal top = area.top() + headingHeight;
    const qreal rowHeight = (area.height() - headingHeight - footerHeight) / (RowsPerBlock + 1);
    const qreal gap = area.width() * 0.04;
    const qreal blockWidth = (area.width() - gap) / 2;
    const qreal widths[] = {0.1, 0.38, 0.26, 0.26}; // number, name, author, category
    const QString titles[] = {tr("No."), tr("Name"), tr("Author"), tr("Category")};
    const qreal pad = rowHeight * 0.2;
    for (int block = 0; block < 2; ++block) {
        const qreal left = area.left() + block * (blockWidth + gap);
        auto cell = [&](int row, int column) {
            qreal x = left;
            for (int c = 0; c < column; ++c)
                x += widths[c] * blockWidth;
            return QRectF(x + pad, top + row * rowHeight, widths[column] * blockWidth - 2 * pad, rowHeight);
        };
        painter.setFont(bold);
        for (int c = 0; c < 4; ++c)
            painter.drawText(cell(0, c), Qt::AlignLeft | Qt::AlignVCenter, titles[c]);
        painter.setFont(font);
        painter.drawLine(QPointF(left, top + rowHeight), QPointF(left + blockWidth, top + rowHeight));
        const QFontMetricsF metrics(font, painter.device());
        // Text is drawn at its baseline: laying it out in a rectangle costs far more, 8,192 times.
        const qreal baseline = (rowHeight + metrics.ascent() - metrics.descent()) / 2;
        // A text that may not fit is laid out once: drawn as it is when it fits, cut when not.
        const qreal widest = metrics.maxWidth();
        auto draw = [&](const QRectF &at, const QString &s) {
            const QPointF origin(at.left(), at.top() + baseline);
            if (s.size() * widest <= at.width()) {
                painter.drawText(origin, s);
                return;
            }
            QTextLayout layout(s, font, painter.device());
            layout.beginLayout();
            QTextLine line = layout.createLine();
            layout.endLayout();
            if (line.naturalTextWidth() <= at.width())
                layout.draw(&painter, QPointF(origin.x(), origin.y() - line.ascent()));
            else
                painter.drawText(origin, metrics.elidedText(s, Qt::ElideRight, at.width()));
        };
        // Authors and categories repeat: each is measured once a page.
        QHash<QString, QString> fittedAuthors;
        QHash<int, QString> fittedCategories;
        for (int r = 0; r < RowsPerBlock; ++r) {
            const int preset = block * RowsPerBlock + r;
            const PresetRecord &record = store.at(bank, preset);
            const Category &category = categoryFor(record.category);
            painter.drawText(QPointF(cell(r + 1, 0).left(), cell(r + 1, 0).top() + baseline),
                             QString::number(preset + 1));
            draw(cell(r + 1, 1), oneLine(record.name));
            const QRectF authorCell = cell(r + 1, 2);
            auto author = fittedAuthors.find(record.author);
            if (author == fittedAuthors.end())
                author = fittedAuthors.insert(
                    record.author,
                    metrics.elidedText(oneLine(record.author), Qt::ElideRight, authorCell.width()));
            painter.drawText(QPointF(authorCell.left(), authorCell.top() + baseline), *author);
            // The colour as a swatch, the name beside it: readable in black and white too.
            QRectF categoryCell = cell(r + 1, 3);
            const qreal swatch = rowHeight * 0.6;
            const QRectF box(categoryCell.left(), categoryCell.center().y() - swatch / 2, swatch, swatch);
            painter.fillRect(box, QColor::fromRgb(category.rgb));
            painter.drawRect(box);
            categoryCell.setLeft(categoryCell.left() + swatch * 1.5);
            auto name = fittedCategories.find(record.category);
            if (name == fittedCategories.end())
                name = fittedCategories.insert(record.category,
                                               metrics.elidedText(QString::fromLatin1(category.name),
                                                                  Qt::ElideRight, categoryCell.width()));
            painter.drawText(QPointF(categoryCell.left(), categoryCell.top() + baseline), *name);
        }
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeWhole(const QString &fileName, const QByteArray &bytes, QString &errorText)
{
    const WholeFileWriter::Result result = WholeFileWriter::write(fileName, bytes);
    if (result == WholeFileWriter::Result::Written)
        return true;
    errorText = WholeFileWriter::errorText(result, fileName);
    return false;
}

} // namespace

void paintBankSheet(QPainter &painter, QPagedPaintDevice &device, const BankStore &store,
                    const BankSheetSource &source)
{
    const int pages = int(source.banks.size());
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        // The painter's origin is the printable area's corner; the device's size is that area's.
        const QRectF area(0, 0, device.width(), device.height());
        paintPage(painter, area, store, source, source.banks[std::size_t(i)], i + 1, pages);
    }
}

bool saveBankSheetPdf(const BankStore &store, const BankSheetSource &source, const QString &fileName,
                      QString &errorText)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QCoreApplication::applicationName());
        pdf.setTitle(source.fileName.isEmpty() ? tr("from the module") : source.fileName);
        pdf.setPageSize(QPageSize(
            QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        // Points as device units: the text is vector either way, and laying it out at a
        // printer's resolution only costs time.
        pdf.setResolution(72);
        QPainter painter(&pdf);
        paintBankSheet(painter, pdf, store, source);
    }
    return writeWhole(fileName, bytes, errorText);
}

QByteArray bankSheetCsv(const BankStore &store, const std::vector<int> &banks)
{
    QString text = QStringLiteral("bank,preset,name,author,category\r\n");
    for (int bank : banks)
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &r = store.at(bank, p);
            text += QString::number(bank + 1) + QLatin1Char(',') + QString::number(p + 1) + QLatin1Char(',') +
                    csvField(r.name) + QLatin1Char(',') + csvField(r.author) + QLatin1Char(',') +
                    csvField(QString::fromLatin1(categoryFor(r.category).name)) + QStringLiteral("\r\n");
        }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool saveBankSheetCsv(const BankStore &store, const std::vector<int> &banks, const QString &fileName,
                      QString &errorText)
{
    return writeWhole(fileName, bankSheetCsv(store, banks), errorText);
}
