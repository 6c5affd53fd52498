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
    // `theirs` null: the other side holds nothing there (`damagedThere`: it holds the
    // preset, but damaged or cut off). `fields` are the PresetComparison fields that
    // differ; `canTake` enables "Take theirs".
    void showPreset(int bank, int preset, const PresetRecord &ours, const PresetRecord *theirs,
                    uint8_t fields, bool canTake, bool damagedThere = false);
    void showNothing();

    // Both versions as rich text, one line per field (name, author, category, sound).
    QString oursText() const;
    QString theirsText() const;

    QLabel *otherLabel = nullptr;
    QLabel *positionLabel = nullptr;
    QLabel *theirsHeading = nullptr;
    // One label per field and side, in rows of one grid: a name that wraps on one side
    // moves the next field down on both.
    static constexpr int FieldCount = 4;
    QLabel *oursFields[FieldCount] = {};
    QLabel *theirsFields[FieldCount] = {};
    QPushButton *takeButton = nullptr;

signals:
    void takeTheirsRequested();
};
