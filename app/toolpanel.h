#pragma once

#include <QScrollArea>

class QComboBox;
class QToolButton;

// The window's left column: the title, Import, Export, Load and Save, the language and the
// undo arrows, the footer. It scrolls on screens too short for it. Its texts are the window's
// (MainWindow's translation context); the window connects its controls.
class ToolPanel : public QScrollArea
{
public:
    // `language`: the setting "language", which the language box shows.
    explicit ToolPanel(int language, QWidget *parent = nullptr);

    QToolButton *importButton = nullptr;
    QToolButton *exportButton = nullptr;
    QToolButton *loadButton = nullptr;
    QToolButton *saveButton = nullptr;
    QToolButton *undoButton = nullptr;
    QToolButton *redoButton = nullptr;
    QComboBox *languageBox = nullptr;
};
