// The two bank dialogs of the save and load flows: what they offer, what each way of
// leaving them reports, and their German texts.
#include "files/banksel.h"
#include "files/bankselload.h"

#include <QTest>
#include <QTranslator>

namespace {

QStringList items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

const QStringList UserBanks = {"2",  "3",  "4",  "5",  "6",  "7",  "8", "9",
                               "10", "11", "12", "13", "14", "15", "16"};

} // namespace

class TestBankDialogs : public QObject
{
    Q_OBJECT

private slots:
    void bankSelStartsOnAllBanks()
    {
        BankSel d;
        QCOMPARE(d.objectName(), QStringLiteral("BankSel"));
        QCOMPARE(d.size(), QSize(191, 123));
        QCOMPARE(d.windowTitle(), QStringLiteral("Orvex+ Preset Manager"));
        QCOMPARE(d.groupBox->title(), QStringLiteral("select banks to save"));
        QVERIFY(d.rball->isChecked());
        QVERIFY(!d.rbsel->isChecked());
        QVERIFY(!d.selBox->isEnabled());
        QCOMPARE(items(d.selBox), UserBanks);
        QCOMPARE(d.selBox->currentIndex(), 0);
        QVERIFY(d.okButton->isDefault());
        QVERIFY(!d.accepted);
        QVERIFY(!d.parentWidget());
    }

    void bankSelRadioButtonsSwitchTheBox()
    {
        BankSel d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        QVERIFY(d.selBox->isEnabled());
        d.selBox->setCurrentIndex(14);
        QTest::mouseClick(d.rball, Qt::LeftButton);
        QVERIFY(!d.selBox->isEnabled());
        QTest::mouseClick(d.okButton, Qt::LeftButton);
        QVERIFY(d.accepted);
        QCOMPARE(d.selectedBank, -1);
        QVERIFY(!d.isVisible());
    }

    void bankSelOkNamesTheChosenBank_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("bank");
        QTest::newRow("2") << 0 << 1;
        QTest::newRow("9") << 7 << 8;
        QTest::newRow("16") << 14 << 15;
    }

    void bankSelOkNamesTheChosenBank()
    {
        QFETCH(int, item);
        QFETCH(int, bank);
        BankSel d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        d.selBox->setCurrentIndex(item);
        QTest::mouseClick(d.okButton, Qt::LeftButton);
        QVERIFY(d.accepted);
        QCOMPARE(d.selectedBank, bank);
    }

    // Return presses the default button; every other way out is a cancel.
    void bankSelWaysOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Return") << 0 << true;
        QTest::newRow("Cancel") << 1 << false;
        QTest::newRow("Escape") << 2 << false;
        QTest::newRow("close button") << 3 << false;
    }

    void bankSelWaysOut()
    {
        QFETCH(int, way);
        QFETCH(bool, accepted);
        BankSel d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.rbsel, Qt::LeftButton);
        d.selBox->setCurrentIndex(3);
        switch (way) {
        case 0:
            QTest::keyClick(d.selBox, Qt::Key_Return);
            break;
        case 1:
            QTest::mouseClick(d.cancelButton, Qt::LeftButton);
            break;
        case 2:
            QTest::keyClick(&d, Qt::Key_Escape);
            break;
        default:
            d.close();
        }
        QVERIFY(!d.isVisible());
        QCOMPARE(d.accepted, accepted);
        if (accepted)
            QCOMPARE(d.selectedBank, 4);
    }

    void bankSelLoadOffersTheUserBanks()
    {
        BankSelLoad d;
        QCOMPARE(d.objectName(), QStringLiteral("BankSelLoad"));
        QCOMPARE(d.size(), QSize(281, 146));
        QCOMPARE(d.windowTitle(), QStringLiteral("Load single preset bank"));
        QCOMPARE(d.label->text(), QStringLiteral("The selected file contains only one preset bank. "
                                                 "Please select the bank you want to load this file:"));
        QVERIFY(d.label->wordWrap());
        QCOMPARE(d.label_2->text(), QStringLiteral("Bank:"));
        QCOMPARE(d.IconLabel->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
        QCOMPARE(items(d.selBox), UserBanks);
        QCOMPARE(d.selBox->currentIndex(), 0);
        QVERIFY(d.selBox->isEnabled());
        QVERIFY(d.okButton->isDefault());
        QVERIFY(!d.accepted);
    }

    void bankSelLoadWaysOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Ok") << 0 << true;
        QTest::newRow("Return") << 1 << true;
        QTest::newRow("Cancel") << 2 << false;
        QTest::newRow("Escape") << 3 << false;
        QTest::newRow("close button") << 4 << false;
    }

    void bankSelLoadWaysOut()
    {
        QFETCH(int, way);
        QFETCH(bool, accepted);
        BankSelLoad d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.selBox->setCurrentIndex(5); // bank "7"
        switch (way) {
        case 0:
            QTest::mouseClick(d.okButton, Qt::LeftButton);
            break;
        case 1:
            QTest::keyClick(d.selBox, Qt::Key_Return);
            break;
        case 2:
            QTest::mouseClick(d.cancelButton, Qt::LeftButton);
            break;
        case 3:
            QTest::keyClick(&d, Qt::Key_Escape);
            break;
        default:
            d.close();
        }
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
            QVERIFY(translator.load(QStringLiteral(":/Charts/presetman_de")));
            QCoreApplication::installTranslator(&translator);
        }
        BankSel save;
        BankSelLoad load;
        QCoreApplication::removeTranslator(&translator);

        for (QWidget *w :
             std::initializer_list<QWidget *>{save.rball, save.rbsel, save.cancelButton, save.okButton,
                                              load.label_2, load.cancelButton, load.okButton}) {
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
    }

    void germanTexts()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/Charts/presetman_de")));
        QCoreApplication::installTranslator(&german);
        BankSel save;
        BankSelLoad load;
        QCoreApplication::removeTranslator(&german);

        QCOMPARE(save.windowTitle(), QStringLiteral("Orvex+ Preset Manager"));
        QCOMPARE(save.groupBox->title(), QString::fromUtf8("zu speichernde Bänke"));
        QCOMPARE(save.rball->text(), QStringLiteral("alle"));
        QCOMPARE(save.rbsel->text(), QStringLiteral("diese:"));
        QCOMPARE(save.cancelButton->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(save.okButton->text(), QStringLiteral("Ok"));
        QCOMPARE(items(save.selBox), UserBanks);

        QCOMPARE(load.windowTitle(), QStringLiteral("Lade einzelne Preset Bank"));
        QCOMPARE(load.label->text(),
                 QString::fromUtf8("Die gewählte Datei enthält nur eine Preset Bank. Bitte "
                                   "wählen Sie die Bank, in die diese Datei geladen werden soll:"));
        QCOMPARE(load.label_2->text(), QStringLiteral("Bank:"));
        QCOMPARE(load.cancelButton->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(load.okButton->text(), QStringLiteral("Ok"));
    }
};

QTEST_MAIN(TestBankDialogs)
#include "tst_bankdialogs.moc"
