#pragma once

#include <QDockWidget>

class QLabel;
class QPushButton;
struct PresetRecord;

// Both versions of the current preset side by side while the document is compared,
// the parts that differ in bold, and "Take theirs" to put the other version in place.
class ComparePanel : public QDockWidget
{
    Q_OBJECT
public:
    explicit ComparePanel(QWidget *parent = nullptr);

    // What the other side is called in the heading ("studio.pre", "the module").
    void setOtherName(const QString &name);
    // `theirs` null: the other side holds nothing there. `fields` are the
    // PresetComparison fields that differ; `canTake` enables "Take theirs".
    void showPreset(int bank, int preset, const PresetRecord &ours, const PresetRecord *theirs,
                    uint8_t fields, bool canTake);
    void showNothing();

    QLabel *otherLabel = nullptr;
    QLabel *positionLabel = nullptr;
    QLabel *oursLabel = nullptr;
    QLabel *theirsLabel = nullptr;
    QLabel *theirsHeading = nullptr;
    QPushButton *takeButton = nullptr;

signals:
    void takeTheirsRequested();
};
