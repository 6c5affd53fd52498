#pragma once

#include "model/bankstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// The bank sheet: the chosen banks as they sit, for a binder or a spreadsheet. The same
// pages go to a PDF file and to a printer; the CSV holds one row per preset.
//
// Texts are translatable texts of the "BankSheet" context, so the sheet is in the
// interface language.
struct BankSheetSource
{
    // What the heading names: the file's name, or empty for banks read from the module.
    QString fileName;
    // For banks read from the module: its serial number as its label shows it.
    QString moduleSerial;
    QDateTime printed = QDateTime::currentDateTime();
    // Bank indexes 0..15 to list, in order; each is numbered as the window numbers banks.
    std::vector<int> banks;
};

// The pages, one bank a page in two column blocks of 64 presets: number, name, author
// and category, the category's colour beside its printed name. Draws on `painter`,
// which is active on `device`; starts a new page of the device for each bank after the first.
void paintBankSheet(QPainter &painter, QPagedPaintDevice &device, const BankStore &store,
                    const BankSheetSource &source);

// A PDF of those pages, on the page size of the locale (Letter where the locale measures
// in inches, else A4), written whole or not at all. False with errorText set.
bool saveBankSheetPdf(const BankStore &store, const BankSheetSource &source, const QString &fileName,
                      QString &errorText);

// The CSV: UTF-8 with a byte-order mark, CRLF line ends, fields quoted where they hold a
// comma, a quote or a line break (RFC 4180). Header "bank,preset,name,author,category";
// banks and presets numbered from 1.
QByteArray bankSheetCsv(const BankStore &store, const std::vector<int> &banks);
bool saveBankSheetCsv(const BankStore &store, const std::vector<int> &banks, const QString &fileName,
                      QString &errorText);
