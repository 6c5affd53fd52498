// The window for everyone: named and keyboard-reachable controls, sharp pictures on a high-DPI
// screen, readable text on a dark palette. Runs at a scale factor of 2 throughout.
#include "app/comparecontroller.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/appidentity.h"
#include "common/samepicture.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/syxload.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferlogpanel.h"
#include "dialogs/transferstatuspanel.h"
#include "midi/virtualmidibackend.h"
#include "model/categorytable.h"
#include "views/detailview.h"
#include "views/librarypanel.h"
#include "views/presetgrid.h"
#include "views/searchbar.h"
#include "views/themecolours.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

#include <functional>
#include <memory>

namespace {

void loadSomething(MainWindow &w)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w.bankStore.at(b, p);
            r.name = QStringLiteral("Name %1").arg(p);
            r.author = QStringLiteral("Author");
            r.category = p % CategoryCount;
            r.mark = true;
        }
    w.banksLoaded = true;
    w.updateTable(true);
}

// Every focusable interface below iface without a name or (for widgets) a tooltip. Hidden
// controls count too: a dialog shows its buttons one state at a time.
void collectUnnamed(QAccessibleInterface *iface, QStringList &unnamed)
{
    const QAccessible::State state = iface->state();
    QObject *object = iface->object();
    auto *widget = qobject_cast<QWidget *>(object);
    if (state.focusable) {
        const QString what = object ? QStringLiteral("%1 \"%2\"")
                                          .arg(object->metaObject()->className(),
                                               object->objectName().isEmpty() ? iface->text(QAccessible::Name)
                                                                              : object->objectName())
                                    : QStringLiteral("role %1").arg(int(iface->role()));
        if (iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << what + QStringLiteral(" has no accessible name");
        if (widget && widget->toolTip().isEmpty())
            unnamed << what + QStringLiteral(" has no tooltip");
    }
    // Cells and list rows are named by their content; the views holding them are the controls,
    // as is the box holding a drop-down list.
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::Table || role == QAccessible::List || role == QAccessible::ComboBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface *child = iface->child(i))
            collectUnnamed(child, unnamed);
}

// A file with presets both with and without a position, so the dialog shows every choice.
SyxContents mixedSyxContents()
{
    SyxContents contents;
    SyxPreset placed;
    placed.bank = 3;
    placed.preset = 5;
    contents.presets = {placed, SyxPreset()};
    contents.writes = 1;
    contents.replies = 1;
    return contents;
}

// Each window to walk, made as the user sees it, and one control whose name is checked
// in both languages.
struct Walked
{
    const char *what;
    std::function<std::unique_ptr<QWidget>()> make;
    std::function<QWidget *(QWidget *)> sample;
    QString english;
    QString german;
};

template <typename T> T *as(QWidget *w)
{
    return static_cast<T *>(w);
}

QImage pictureAt2x(const QString &name)
{
    return QImage(QStringLiteral(":/pictures/%1@2x.png").arg(name)).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void everyFocusableControlHasANameAndATooltip()
    {
        static const SyxContents syx = mixedSyxContents();
        const Walked windows[] = {
            {"main window with search and library",
             [] {
                 auto w = std::make_unique<MainWindow>();
                 loadSomething(*w);
                 w->library()->show();
                 return std::unique_ptr<QWidget>(std::move(w));
             },
             [](QWidget *w) -> QWidget * { return as<MainWindow>(w)->importButton; }, "Import",
             "Importieren"},
            {"library dock on its own",
             [] {
                 return std::unique_ptr<QWidget>(std::make_unique<LibraryPanel>(
                     QDir::temp().filePath(QStringLiteral("orvex-unopened-library.db")), QStringList()));
             },
             [](QWidget *p) -> QWidget * { return as<LibraryPanel>(p)->searchEdit; }, "Search the library",
             "Bibliothek durchsuchen"},
            {"transfer dialog, stopped, log open",
             [] {
                 auto d = std::make_unique<TransferDialog>(std::make_shared<VirtualMidiBackend>());
                 d->setMode(true);
                 d->status->showStopped(QStringLiteral("Stopped."), true);
                 d->log->setExpanded(true);
                 return std::unique_ptr<QWidget>(std::move(d));
             },
             [](QWidget *d) -> QWidget * { return as<TransferDialog>(d)->MidiInList; }, "MIDI IN port",
             "MIDI IN Kanal"},
            {"banks to save", [] { return std::unique_ptr<QWidget>(std::make_unique<BankSaveDialog>()); },
             [](QWidget *d) -> QWidget * { return as<BankSaveDialog>(d)->selBox; }, "Bank to save",
             "Zu speichernde Bank"},
            {"bank to load into", [] { return std::unique_ptr<QWidget>(std::make_unique<BankLoadDialog>()); },
             [](QWidget *d) -> QWidget * { return as<BankLoadDialog>(d)->selBox; }, "Bank to load into",
             "Ziel-Bank"},
            {"SysEx placement", [] { return std::unique_ptr<QWidget>(std::make_unique<SyxLoad>(syx)); },
             [](QWidget *d) -> QWidget * { return as<SyxLoad>(d)->replyPresetBox; }, "First preset",
             "Erstes Preset"},
        };
        QTranslator app, qt;
        for (int language : {0, 1}) {
            QVERIFY(Startup::installTranslators(language, app, qt) == (language == 1));
            for (const Walked &walked : windows) {
                const std::unique_ptr<QWidget> window = walked.make();
                window->show();
                QVERIFY(QTest::qWaitForWindowExposed(window.get()));
                QStringList unnamed;
                collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
                QVERIFY2(unnamed.isEmpty(),
                         qPrintable(walked.what + QStringLiteral(":\n") + unnamed.join(QLatin1Char('\n'))));
                QCOMPARE(walked.sample(window.get())->accessibleName(),
                         language == 1 ? walked.german : walked.english);
            }
            QCoreApplication::removeTranslator(&app);
            QCoreApplication::removeTranslator(&qt);
        }
    }

    // Roles and names where Qt's own would mislead: a combo box named by its item, pictures
    // taken for buttons, a transfer dialog that never says its direction.
    void controlsReadAsWhatTheyAre()
    {
        MainWindow w;
        QAccessibleInterface *language = QAccessible::queryAccessibleInterface(w.languageBox);
        QCOMPARE(language->role(), QAccessible::ComboBox);
        QCOMPARE(language->text(QAccessible::Name), QStringLiteral("Language"));
        QCOMPARE(language->text(QAccessible::Value), QStringLiteral("EN"));
        QCOMPARE(language->childCount(), 1); // the drop-down list
        int pictures = 0;
        for (QLabel *label : w.findChildren<QLabel *>())
            if (!label->pixmap().isNull()) {
                ++pictures;
                QCOMPARE(QAccessible::queryAccessibleInterface(label)->role(), QAccessible::Graphic);
            }
        QCOMPARE(pictures, 2);

        for (bool exportAll : {false, true}) {
            TransferDialog dialog(std::make_shared<VirtualMidiBackend>());
            dialog.setMode(exportAll);
            QCOMPARE(dialog.windowTitle(),
                     exportAll ? QStringLiteral("Export to Orvex+") : QStringLiteral("Import from Orvex+"));
            QCOMPARE(dialog.progressBar->accessibleName(), QStringLiteral("Transfer progress"));
            // Read-only, but reached with Tab.
            for (QWidget *field :
                 {static_cast<QWidget *>(dialog.SnEdit), static_cast<QWidget *>(dialog.VersionEdit)})
                QVERIFY(field->focusPolicy() & Qt::TabFocus);
        }
    }

    // A transfer's state is spoken when it changes, not at each of its 2,048 steps.
    void transferStatesAreSpokenOncePerState()
    {
        TransferStatusPanel panel;
        QSignalSpy spoken(&panel, &TransferStatusPanel::stateShown);
        panel.showRunning(QStringLiteral("Reading preset 1 of 2048"));
        panel.showRunning(QStringLiteral("Reading preset 2 of 2048"));
        panel.showQuestion(QStringLiteral("Write 3 presets?"), true);
        panel.showNote(QString());
        panel.showDone(QStringLiteral("Done."));
        QStringList heard;
        for (const QList<QVariant> &args : spoken)
            heard << args.value(0).toString();
        QCOMPARE(heard, QStringList({QStringLiteral("Reading preset 1 of 2048"),
                                     QStringLiteral("Write 3 presets?"), QStringLiteral("Done.")}));
    }

    void dialogTitlesFitTheirWindows()
    {
        // A title bar keeps room for the window manager's buttons beside the text.
        constexpr int ButtonRoom = 100;
        static const SyxContents syx = mixedSyxContents();
        QTranslator app, qt;
        for (int language : {0, 1}) {
            Startup::installTranslators(language, app, qt);
            std::vector<std::unique_ptr<QWidget>> dialogs;
            dialogs.push_back(std::make_unique<BankSaveDialog>());
            dialogs.push_back(std::make_unique<BankLoadDialog>());
            dialogs.push_back(std::make_unique<SyxLoad>(syx));
            for (bool exportAll : {false, true}) {
                auto transfer = std::make_unique<TransferDialog>(std::make_shared<VirtualMidiBackend>());
                transfer->setMode(exportAll);
                // "Importieren", "Exportieren" and "Neu suchen" keep clear of their buttons' edges.
                for (QPushButton *button : {transfer->TransferButton, transfer->RescanButton})
                    QVERIFY2(button->width() >= button->sizeHint().width(),
                             qPrintable(QStringLiteral("\"%1\": %2 of %3 px")
                                            .arg(button->text())
                                            .arg(button->width())
                                            .arg(button->sizeHint().width())));
                dialogs.push_back(std::move(transfer));
            }
            for (const auto &dialog : dialogs) {
                const int needed =
                    dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + ButtonRoom;
                QVERIFY2(needed <= dialog->width(), qPrintable(QStringLiteral("\"%1\" needs %2 px of %3")
                                                                   .arg(dialog->windowTitle())
                                                                   .arg(needed)
                                                                   .arg(dialog->width())));
            }
            QCoreApplication::removeTranslator(&app);
            QCoreApplication::removeTranslator(&qt);
        }
    }

    void toolPanelFitsA1600x900Screen()
    {
        // The status bar below takes its share: the panel must still fit a common laptop screen whole.
        MainWindow w;
        w.resize(1600, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *scroll = w.findChild<QScrollArea *>(QStringLiteral("toolScroll"));
        QVERIFY(scroll);
        QTRY_COMPARE(w.height(), 900);
        QVERIFY2(!scroll->verticalScrollBar()->isVisible(),
                 qPrintable(QStringLiteral("panel %1 px in %2 px")
                                .arg(scroll->widget()->minimumSizeHint().height())
                                .arg(scroll->viewport()->height())));
    }

    void aNarrowWindowKeepsTheDetailViewWhole()
    {
        // 1024 points wide (a 2048-pixel screen at 200 %), with the wider German texts: the
        // search field gives way, not the author fields and categories beside it.
        for (int language : {0, 1}) {
            QTranslator app, qt;
            Startup::installTranslators(language, app, qt);
            MainWindow w;
            w.resize(1024, 700);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_COMPARE(w.width(), 1024);
            const QRect reach = w.detailView->childrenRect();
            QVERIFY2(w.detailView->width() >= reach.right() + 1,
                     qPrintable(QStringLiteral("language %1: %2 of %3 px")
                                    .arg(language)
                                    .arg(w.detailView->width())
                                    .arg(reach.right() + 1)));
            QCoreApplication::removeTranslator(&app);
            QCoreApplication::removeTranslator(&qt);
        }
    }

    void tabWalksThePanelTopToBottom()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.searchBar->field()->setText(QStringLiteral("Name 12")); // the arrows are reached with matches only
        w.importButton->setFocus(Qt::TabFocusReason);
        // Undo and redo are disabled (nothing to undo), so Tab passes them by. Tab leaves the
        // table: into the library when it is open, else round to the first button.
        const QList<QWidget *> panel = {w.exportButton,
                                        w.loadButton,
                                        w.findChild<QToolButton *>(QStringLiteral("recentFilesButton")),
                                        w.saveButton,
                                        w.languageBox,
                                        w.libraryButton,
                                        w.detailView->takeAuthorButton,
                                        w.detailView->newAuthorEdit,
                                        w.detailView->assignAuthorButton,
                                        w.detailView->categoryList};
        QList<QWidget *> expected = panel + w.searchBar->tabStops();
        expected << w.compareButton << w.backupsButton << w.table << w.importButton;
        auto walk = [](const QList<QWidget *> &order, Qt::Key key) {
            for (QWidget *next : order) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QCOMPARE(QApplication::focusWidget(), next);
            }
        };
        walk(expected, Qt::Key_Tab);
        walk({w.table, w.backupsButton}, Qt::Key_Backtab);

        w.library()->show();
        w.table->setFocus(Qt::TabFocusReason);
        walk({w.library()->searchEdit, w.library()->resultsView}, Qt::Key_Tab);
        // The results keep only the arrows, as the table does (Send waits for a chosen result).
        walk({w.library()->whereButton}, Qt::Key_Tab);
        w.table->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.table, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), w.library()->searchEdit);
    }

    void picturesUseTheirDoubleSizeTwins()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        MainWindow w;
        const std::pair<QToolButton *, const char *> buttons[] = {
            {w.importButton, "import"}, {w.exportButton, "export"}, {w.loadButton, "load"},
            {w.saveButton, "save"},     {w.undoButton, "undo"},     {w.redoButton, "redo"}};
        for (const auto &[button, name] : buttons) {
            const QImage twin = pictureAt2x(QString::fromLatin1(name));
            QCOMPARE(twin.size(), button->iconSize() * 2);
            for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
                const QPixmap shown = button->icon().pixmap(button->iconSize(), 2.0, mode);
                QCOMPARE(shown.size(), twin.size());
                if (mode == QIcon::Normal)
                    QVERIFY2(samePicture(shown.toImage(), twin), name);
            }
        }
        // The title and footer are pictures, not buttons, in full colour at double size.
        int found = 0;
        for (QLabel *label : w.findChildren<QLabel *>()) {
            const QImage shown = label->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
            for (const char *name : {"title", "footer"})
                found += !shown.isNull() && samePicture(shown, pictureAt2x(QString::fromLatin1(name)));
        }
        QCOMPARE(found, 2);
    }

    void paletteSettingChoosesDarkOrLight_data()
    {
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<bool>("dark");
        QTest::newRow("unset: the desktop's") << QVariant() << false;
        QTest::newRow("dark") << QVariant("dark") << true;
        QTest::newRow("light") << QVariant("light") << false;
        QTest::newRow("unknown word") << QVariant("purple") << false;
    }

    void paletteSettingChoosesDarkOrLight()
    {
        QFETCH(QVariant, setting);
        QFETCH(bool, dark);
        QSettings s;
        if (setting.isValid())
            s.setValue(QStringLiteral("palette"), setting);
        Startup::applyPaletteSetting(s);
        QCOMPARE(ThemeColours::isDark(QApplication::palette()), dark);
    }

    void darkPaletteTextReadsEverywhere()
    {
        const QPalette p = ThemeColours::darkPalette();
        const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
            {QPalette::Window, QPalette::WindowText},       {QPalette::Base, QPalette::Text},
            {QPalette::AlternateBase, QPalette::Text},      {QPalette::Button, QPalette::ButtonText},
            {QPalette::ToolTipBase, QPalette::ToolTipText}, {QPalette::Highlight, QPalette::HighlightedText}};
        for (const auto &[background, text] : pairs)
            QVERIFY2(ThemeColours::contrast(p.color(background), p.color(text)) >= 4.5,
                     qPrintable(QStringLiteral("roles %1 on %2").arg(text).arg(background)));
        // The chosen row of a disabled list, such as the ports in use while connected.
        QVERIFY(ThemeColours::contrast(p.color(QPalette::Disabled, QPalette::Highlight),
                                       p.color(QPalette::Disabled, QPalette::HighlightedText)) >= 4.5);

        // Nothing in the panels keeps a colour of its own once the palette is dark.
        QApplication::setPalette(p);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRegularExpression literalColour(QStringLiteral("#[0-9a-fA-F]{3,6}\\b"));
        for (QWidget *widget :
             {static_cast<QWidget *>(w.detailView->categoryList), static_cast<QWidget *>(w.languageBox),
              static_cast<QWidget *>(w.libraryButton)})
            QVERIFY2(!widget->styleSheet().contains(literalColour), qPrintable(widget->styleSheet()));
        // ... and a light palette brings the list's own colours back.
        QApplication::setPalette(QApplication::style()->standardPalette());
        QTRY_VERIFY(w.detailView->categoryList->styleSheet().contains(QStringLiteral("#e0e0e0")));
    }

    void tableTextReadsOnEveryCategoryColour()
    {
        QApplication::setPalette(ThemeColours::darkPalette());
        MainWindow w;
        w.resize(1400, 1000);
        loadSomething(w);
        w.table->item(1, 1)->setSelected(true); // category 1, under the selection colour
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage shot = w.table->viewport()->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        for (int category = 0; category < CategoryCount; ++category) {
            const QRect cell = w.table->visualItemRect(w.table->item(category, 1));
            const QRect pixels(cell.topLeft() * dpr, cell.size() * dpr);
            QColor background = QColor::fromRgb(categoryTable[category].rgb);
            if (category == 1)
                background = QApplication::palette().color(QPalette::Highlight);
            // The name's pixels: the ones furthest from the background must stand out clearly.
            double best = 0;
            for (int y = pixels.top() + 2; y < pixels.bottom() - 2; ++y)
                for (int x = pixels.left() + 2; x < pixels.right() - 2; ++x)
                    best = std::max(best, ThemeColours::contrast(shot.pixelColor(x, y), background));
            QVERIFY2(
                best >= 3.0,
                qPrintable(QStringLiteral("category %1: best text contrast %2").arg(category).arg(best)));
        }
    }

    void searchFramesStandOutOnEveryCategoryColour()
    {
        MainWindow w;
        w.resize(1400, 1000);
        loadSomething(w);
        w.table->item(1, 1)->setSelected(true); // and on the selection colour
        w.searchBar->field()->setText(QStringLiteral("name"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage shot =
            w.table->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const qreal dpr = shot.devicePixelRatio();
        for (int category = 0; category < CategoryCount; ++category) {
            const QRect cell = w.table->visualItemRect(w.table->item(category, 1));
            QColor background = QColor::fromRgb(categoryTable[category].rgb);
            if (category == 1)
                background = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
            // The frame's band, inside its one-pixel edge, halfway down the cell's left side.
            const QColor band = shot.pixelColor(int((cell.left() + 2) * dpr), int(cell.center().y() * dpr));
            QVERIFY2(ThemeColours::contrast(band, background) >= 3.0,
                     qPrintable(QStringLiteral("category %1: frame %2 on %3")
                                    .arg(category)
                                    .arg(band.name(), background.name())));
        }
    }

    void differenceCornersStandOutOnEveryCategoryColour()
    {
        // Every colour a cell can have: the 14 categories and the selection of either palette.
        QList<QColor> backgrounds;
        for (const Category &c : categoryTable)
            backgrounds << QColor::fromRgb(c.rgb);
        for (const QPalette &p : {QApplication::style()->standardPalette(), ThemeColours::darkPalette()})
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
                backgrounds << p.color(group, QPalette::Highlight);
        for (const QColor &background : backgrounds)
            QVERIFY2(ThemeColours::contrast(ThemeColours::differenceOn(background), background) >= 3.0,
                     qPrintable(background.name()));

        // ... and so does the corner painted in the table, selected or not.
        MainWindow w;
        w.resize(1400, 1000);
        loadSomething(w);
        BankStore other = w.bankStore;
        SelectionMask everywhere;
        for (int p = 0; p < CategoryCount; ++p) {
            other.at(1, p).name = QStringLiteral("Other");
            everywhere.set(1, p);
        }
        w.compare()->compareWith(other, everywhere, QStringLiteral("other.pre"), false);
        w.table->item(1, 1)->setSelected(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage shot =
            w.table->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const qreal dpr = shot.devicePixelRatio();
        for (int category = 0; category < CategoryCount; ++category) {
            const QRect cell = w.table->visualItemRect(w.table->item(category, 1));
            QColor background = QColor::fromRgb(categoryTable[category].rgb);
            if (category == 1)
                background = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
            // Inside the corner, clear of its edge.
            const QColor corner = shot.pixelColor(int((cell.right() - 3) * dpr), int((cell.top() + 3) * dpr));
            QVERIFY2(ThemeColours::contrast(corner, background) >= 3.0,
                     qPrintable(QStringLiteral("category %1: corner %2 on %3")
                                    .arg(category)
                                    .arg(corner.name(), background.name())));
        }
    }

    void darkPaletteCoversTheEmptyTable()
    {
        QApplication::setPalette(ThemeColours::darkPalette());
        MainWindow w; // no banks yet: the table is empty and disabled
        w.resize(1400, 1000);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage shot = w.table->viewport()->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        for (const QPoint &cell : {QPoint(0, 0), QPoint(3, 15), QPoint(15, 3)}) {
            const QRect rect = w.table->visualRect(w.table->model()->index(cell.y(), cell.x()));
            const QColor inside = shot.pixelColor(int((rect.left() + 4) * dpr), int((rect.top() + 4) * dpr));
            QVERIFY2(inside.lightness() < 96, qPrintable(inside.name()));
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
