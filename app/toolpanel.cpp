#include "app/toolpanel.h"

#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "views/accessiblenames.h"
#include "views/panelwidgets.h"
#include "views/pictures.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

ToolPanel::ToolPanel(int language, QWidget *parent) : QScrollArea(parent)
{
    // Title and footer are pictures, not controls: screen readers call them graphics.
    auto pictureOnly = [](const QString &path) {
        auto *label = new QLabel;
        // The "@2x" picture on high-DPI screens.
        label->setPixmap(Pictures::pixmap(path, QSize(200, 72), qApp->devicePixelRatio()));
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    auto *title = pictureOnly(QStringLiteral(":/pictures/title.png"));

    languageBox = new QComboBox;
    AccessibleNames::keepComboBoxName(languageBox);
    languageBox->addItem(QStringLiteral("EN"));
    languageBox->addItem(QStringLiteral("DE"));
    languageBox->setCurrentIndex(language == 1 ? 1 : 0);

    auto command = [](const QString &picture) {
        return new PictureButton(Pictures::icon(picture, qApp->devicePixelRatio()), QSize(200, 150), 2, 20,
                                 QColor(0x8f, 0x8f, 0x91));
    };
    // The arrows show a frame only with keyboard focus.
    auto arrow = [](const QString &picture) {
        return new PictureButton(Pictures::icon(picture, qApp->devicePixelRatio()), QSize(18, 16), 1, 3,
                                 QColor());
    };
    importButton = command(MainWindow::tr(":/pictures/import.png"));
    exportButton = command(MainWindow::tr(":/pictures/export.png"));
    loadButton = command(MainWindow::tr(":/pictures/load.png"));
    saveButton = command(MainWindow::tr(":/pictures/save.png"));
    undoButton = arrow(MainWindow::tr(":/pictures/undo.png"));
    redoButton = arrow(MainWindow::tr(":/pictures/redo.png"));
    auto *footer = pictureOnly(QStringLiteral(":/pictures/footer.png"));
    title->setAccessibleName(AppIdentity::ProgramName);
    footer->setAccessibleName(QStringLiteral("Quillmoth"));

    // The pictures hold the captions: screen readers and the mouse pointer need them in words.
    const std::tuple<QWidget *, QString, QString> described[] = {
        {importButton, MainWindow::tr("Import"), MainWindow::tr("Import all 16 banks from the module")},
        {exportButton, MainWindow::tr("Export"), MainWindow::tr("Export banks 2 to 16 to the module")},
        {loadButton, MainWindow::tr("Load"),
         MainWindow::tr("Load a preset file over all banks or into one bank")},
        {saveButton, MainWindow::tr("Save"),
         MainWindow::tr("Save all banks or one user bank to a preset file (Ctrl+Shift+S); Ctrl+S "
                        "saves all banks again to the file the title names")},
        {languageBox, MainWindow::tr("Language"),
         MainWindow::tr("Language of the program, from its next start")},
        {undoButton, MainWindow::tr("Undo"), MainWindow::tr("Undo the last change (Ctrl+Z)")},
        {redoButton, MainWindow::tr("Redo"), MainWindow::tr("Redo the change undone last (Ctrl+Y)")},
    };
    for (const auto &[widget, name, tip] : described) {
        widget->setAccessibleName(name);
        widget->setToolTip(tip);
    }

    auto *row = new QWidget;
    auto *rowLayout = new QHBoxLayout(row);
    // Slim above and below, so the whole panel fits a 900-pixel-high screen beside the status bar.
    const QMargins margins = rowLayout->contentsMargins();
    rowLayout->setContentsMargins(margins.left(), 2, margins.right(), 2);
    rowLayout->addWidget(languageBox);
    rowLayout->addWidget(undoButton);
    rowLayout->addWidget(redoButton);

    auto *toolPanel = new GradientPanel;
    toolPanel->setObjectName(QStringLiteral("toolPanel"));
    auto *layout = new QVBoxLayout(toolPanel);
    layout->setContentsMargins(12, 15, 12, 12);
    // Tight enough that Load's recent files fit too.
    layout->setSpacing(4);
    for (QWidget *w : {static_cast<QWidget *>(title), static_cast<QWidget *>(importButton),
                       static_cast<QWidget *>(exportButton), static_cast<QWidget *>(loadButton),
                       static_cast<QWidget *>(saveButton), row, static_cast<QWidget *>(footer)})
        layout->addWidget(w, 0);
    layout->addStretch(1);

    // The panel is taller than a 1280 x 800 screen leaves: let it scroll there
    // rather than cut off the footer.
    setObjectName(QStringLiteral("toolScroll"));
    setWidget(toolPanel);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Not a Tab stop of its own: Tab goes straight to the buttons, and it scrolls to show them.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMinimumWidth(toolPanel->sizeHint().width() + verticalScrollBar()->sizeHint().width());
}
