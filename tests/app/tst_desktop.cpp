// The window for everyone: named and keyboard-reachable controls, sharp pictures on a high-DPI
// screen, readable text on a dark palette. Runs at a scale factor of 2 throughout.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/samepicture.h"
#include "device/midisetting.h"
#include "device/transferlogpanel.h"
#include "device/transferstatuspanel.h"
#include "files/banksel.h"
#include "files/bankselload.h"
#include "files/syxload.h"
#include "midi/virtualmidibackend.h"
#include "model/categorytable.h"
#include "views/bigtable.h"
#include "views/detailview.h"
#include "views/librarypanel.h"
#include "views/searchbar.h"
#include "views/themecolours.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
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
    return QImage(QStringLiteral(":/Charts/%1@2x.png").arg(name)).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Startup::setApplicationIdentity();
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
                 w->libraryPanel->show();
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
                 auto d = std::make_unique<MidiSetting>(std::make_shared<VirtualMidiBackend>());
                 d->setMode(true);
                 d->status->showStopped(QStringLiteral("Stopped."), true);
                 d->log->setExpanded(true);
                 return std::unique_ptr<QWidget>(std::move(d));
             },
             [](QWidget *d) -> QWidget * { return as<MidiSetting>(d)->MidiInList; }, "MIDI IN port",
             "MIDI IN Kanal"},
            {"banks to save", [] { return std::unique_ptr<QWidget>(std::make_unique<BankSel>()); },
             [](QWidget *d) -> QWidget * { return as<BankSel>(d)->selBox; }, "Bank to save",
             "Zu speichernde Bank"},
            {"bank to load into", [] { return std::unique_ptr<QWidget>(std::make_unique<BankSelLoad>()); },
             [](QWidget *d) -> QWidget * { return as<BankSelLoad>(d)->selBox; }, "Bank to load into",
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

    void tabWalksThePanelTopToBottom()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.importButton->setFocus(Qt::TabFocusReason);
        // Undo and redo are disabled (nothing to undo), so Tab passes them by.
        const QList<QWidget *> expected = {w.exportButton,
                                           w.loadButton,
                                           w.saveButton,
                                           w.languageBox,
                                           w.libraryButton,
                                           w.compareButton,
                                           w.backupsButton,
                                           w.detailView->A2AButton,
                                           w.detailView->AuthorDoEdit,
                                           w.detailView->setAButton,
                                           w.detailView->GroupsList,
                                           w.searchBar->field(),
                                           w.table};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
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
        // The title and footer are disabled buttons showing their picture in full colour.
        int found = 0;
        for (QToolButton *b : w.findChildren<QToolButton *>()) {
            const QImage shown = b->icon().pixmap(QSize(200, 72), 2.0, QIcon::Disabled).toImage();
            for (const char *name : {"title", "footer"})
                found += samePicture(shown, pictureAt2x(QString::fromLatin1(name)));
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
             {static_cast<QWidget *>(w.detailView->GroupsList), static_cast<QWidget *>(w.languageBox),
              static_cast<QWidget *>(w.libraryButton)})
            QVERIFY2(!widget->styleSheet().contains(literalColour), qPrintable(widget->styleSheet()));
        // ... and a light palette brings the list's own colours back.
        QApplication::setPalette(QApplication::style()->standardPalette());
        QTRY_VERIFY(w.detailView->GroupsList->styleSheet().contains(QStringLiteral("#e0e0e0")));
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
