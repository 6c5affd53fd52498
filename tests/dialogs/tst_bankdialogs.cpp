// The two bank dialogs: what each way of leaving them reports, and that their texts fit
// the hand-placed widgets in both languages.
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/formfit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <QTest>
#include <QTranslator>

namespace {

enum Way { OkButton, ReturnKey, CancelButton, EscapeKey, CloseButton };

void leave(QDialog &d, QPushButton *ok, QPushButton *cancel, QWidget *focus, Way way)
{
    switch (way) {
    case OkButton:
        QTest::mouseClick(ok, Qt::LeftButton);
        break;
    case ReturnKey: // the default button
        QTest::keyClick(focus, Qt::Key_Return);
        break;
    case CancelButton:
        QTest::mouseClick(cancel, Qt::LeftButton);
        break;
    case EscapeKey:
        QTest::keyClick(&d, Qt::Key_Escape);
        break;
    case CloseButton:
        d.close();
        break;
    }
}

void addWays()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Ok") << int(OkButton) << true;
    QTest::newRow("Return") << int(ReturnKey) << true;
    QTest::newRow("Cancel") << int(CancelButton) << false;
    QTest::newRow("Escape") << int(EscapeKey) << false;
    QTest::newRow("close button") << int(CloseButton) << false;
}

} // namespace

class TestBankDialogs : public QObject
{
    Q_OBJECT

private slots:
    void bankSelRadioButtonsSwitchTheBox()
    {
        BankSaveDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.rball->isChecked());
        QVERIFY(!d.selBox->isEnabled());
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        QVERIFY(d.selBox->isEnabled());
        d.selBox->setCurrentIndex(14);
        QTest::mouseClick(d.rball, Qt::LeftButton);
        QVERIFY(!d.selBox->isEnabled());
        QTest::mouseClick(d.okButton, Qt::LeftButton);
        QVERIFY(d.accepted);
        QCOMPARE(d.selectedBank, -1);
        QVERIFY(!d.selectionChosen);
        QVERIFY(!d.isVisible());
    }

    void bankSelOffersTheSelectionOnlyWhenAsked()
    {
        BankSaveDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(!d.rbselection->isEnabled());
        d.offerSelection(true);
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        QTest::mouseClick(d.rbselection, Qt::LeftButton);
        QVERIFY(!d.selBox->isEnabled());
        QTest::mouseClick(d.okButton, Qt::LeftButton);
        QVERIFY(d.selectionChosen);
        QCOMPARE(d.selectedBank, -1);
    }

    void bankSelWaysOut_data() { addWays(); }

    void bankSelWaysOut()
    {
        QFETCH(int, way);
        QFETCH(bool, accepted);
        BankSaveDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        d.selBox->setCurrentIndex(3); // "5"
        leave(d, d.okButton, d.cancelButton, d.selBox, Way(way));
        QVERIFY(!d.isVisible());
        QCOMPARE(d.accepted, accepted);
        if (accepted)
            QCOMPARE(d.selectedBank, 4);
    }

    void bankSelLoadWaysOut_data() { addWays(); }

    void bankSelLoadWaysOut()
    {
        QFETCH(int, way);
        QFETCH(bool, accepted);
        BankLoadDialog d;
        QVERIFY(!d.IconLabel->pixmap().isNull());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.selBox->currentText(), QStringLiteral("2"));
        d.selBox->setCurrentIndex(5); // "7"
        leave(d, d.okButton, d.cancelButton, d.selBox, Way(way));
        QVERIFY(!d.isVisible());
        QCOMPARE(d.accepted, accepted);
        if (accepted)
            QCOMPARE(d.selectedBank, 6);
    }

    // The forms place their widgets by hand, so a text longer than its widget would be cut.
    void textsFitTheirWidgets_data()
    {
        QTest::addColumn<bool>("german");
        QTest::newRow("English") << false;
        QTest::newRow("German") << true;
    }

    void textsFitTheirWidgets()
    {
        QFETCH(bool, german);
        QTranslator translator;
        if (german) {
            QVERIFY(translator.load(QStringLiteral(":/translations/presetman_de")));
            QCoreApplication::installTranslator(&translator);
        }
        BankSaveDialog save;
        BankLoadDialog load;
        BankLoadDialog several;
        several.setFileBanks(5);
        BankLoadDialog backup;
        backup.setFileBanks(15, true);
        QCoreApplication::removeTranslator(&translator);
        if (german) {
            QCOMPARE(save.rbsel->text(), QStringLiteral("&diese:"));
            QCOMPARE(load.windowTitle(), QStringLiteral("Lade einzelne Preset Bank"));
            QCOMPARE(several.windowTitle(), QString::fromUtf8("Lade Preset Bänke"));
            QVERIFY(several.label->text().startsWith(QString::fromUtf8("Die gewählte Datei enthält 5")));
            QVERIFY(backup.label->text().contains(QStringLiteral("Export-Sicherung der Bänke 2 bis 16")));
        }
        // A file of several banks: every text fits, above the banks it offers.
        for (BankLoadDialog *d : {&several, &backup}) {
            QVERIFY(d->label->heightForWidth(d->label->width()) <= d->label->height());
            QVERIFY(d->label_2->sizeHint().width() <= d->label_2->width());
            QVERIFY(d->label->geometry().bottom() < d->selBox->geometry().top());
            QVERIFY(!d->label_2->geometry().intersects(d->selBox->geometry()));
            QVERIFY(d->selBox->geometry().bottom() < d->okButton->geometry().top());
        }

        for (QWidget *w : std::initializer_list<QWidget *>{save.rball, save.rbsel, save.rbselection,
                                                           save.cancelButton, save.okButton, load.label_2,
                                                           load.cancelButton, load.okButton}) {
            // Buttons keep a few pixels of their margins to spare.
            const int text = w->sizeHint().width() - (qobject_cast<QPushButton *>(w) ? 8 : 0);
            QVERIFY2(text <= w->width(), qPrintable(w->objectName()));
        }
        QVERIFY(save.groupBox->fontMetrics().horizontalAdvance(save.groupBox->title()) + 16 <=
                save.groupBox->width());
        QVERIFY(load.label->heightForWidth(load.label->width()) <= load.label->height());
        QVERIFY(!save.rbsel->geometry().intersects(save.selBox->geometry()));
        QVERIFY(!load.label_2->geometry().intersects(load.selBox->geometry()));
        QCOMPARE(save.minimumSize(), save.maximumSize());
        QCOMPARE(load.minimumSize(), load.maximumSize());

        // Every button, and the label of the bank choice, has an Alt key of its own.
        for (QDialog *d : std::initializer_list<QDialog *>{&save, &load, &several}) {
            QList<QChar> keys;
            QStringList texts;
            for (QAbstractButton *b : d->findChildren<QAbstractButton *>())
                texts << b->text();
            if (auto *bank = qobject_cast<BankLoadDialog *>(d))
                texts << bank->label_2->text();
            for (const QString &text : texts) {
                const qsizetype amp = text.indexOf(QLatin1Char('&'));
                QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
                keys << text.at(amp + 1).toLower();
            }
            for (const QChar key : keys)
                QCOMPARE(keys.count(key), 1);
        }
    }

    // What another style or font would do to the forms: a text wider than the place it was given.
    void narrowTextsGrowAndPushTheirNeighbours()
    {
        QWidget form;
        form.setFixedSize(120, 60);
        auto *box = new QGroupBox(&form);
        box->setGeometry(10, 5, 100, 50);
        auto *radio = new QRadioButton(QStringLiteral("a rather long choice:"), box);
        radio->setGeometry(5, 20, 30, 17);
        auto *combo = new QComboBox(box);
        combo->setGeometry(40, 18, 50, 21);
        auto *below = new QRadioButton(QStringLiteral("x"), box);
        below->setGeometry(60, 40, 30, 8);

        growToFitTexts(&form);
        QVERIFY(radio->width() >= radio->sizeHint().width());
        QCOMPARE(combo->x(), radio->geometry().right() + 6); // the gap it had
        QCOMPARE(below->x(), 60);                            // not beside it: stays
        QCOMPARE(box->width(), combo->geometry().right() + 1 + 10);
        QCOMPARE(form.width(), box->geometry().right() + 1 + 10);
        QCOMPARE(form.minimumSize(), form.maximumSize());

        // A wrapped text too long for its height grows down and pushes what stands below it.
        QWidget note;
        note.setFixedSize(120, 60);
        auto *label = new QLabel(QStringLiteral("one two three four five six seven eight nine ten"), &note);
        label->setWordWrap(true);
        label->setGeometry(5, 5, 110, 15);
        auto *button = new QPushButton(QStringLiteral("Ok"), &note);
        button->setGeometry(5, 30, 60, 25);
        growToFitTexts(&note);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QCOMPARE(button->y(), label->geometry().bottom() + 11); // the gap it had
        QCOMPARE(note.height(), button->geometry().bottom() + 1 + 5);
    }
};

QTEST_MAIN(TestBankDialogs)
#include "tst_bankdialogs.moc"
