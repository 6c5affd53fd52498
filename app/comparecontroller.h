#pragma once

#include "editing/presetcomparison.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QObject>
#include <QPointer>
#include <QString>

class CompareBar;
class ComparePanel;
class MainWindow;
class PresetCellDelegate;

// Compares the document with another set of presets (a .pre or .syx file, a backup, the
// module) while the user goes on working: the table marks the presets that differ, the
// compare bar counts them and steps through them, the compare panel shows both versions
// of the current preset and takes theirs as one undo step.
class CompareController : public QObject
{
    Q_OBJECT
public:
    CompareController(MainWindow &window, PresetCellDelegate *delegate, CompareBar *bar, ComparePanel *panel);
    ~CompareController() override;

    // Starts a comparison with `theirs` at the positions `present` holds. With
    // `asModuleKeeps`, the document's texts count as the module would keep them.
    // `unusable`: positions the other side lacks or holds damaged, shown as such.
    void compareWith(const BankStore &theirs, const SelectionMask &present, const QString &otherName,
                     bool asModuleKeeps, const SelectionMask &unusable = SelectionMask());
    // A .pre file (one of fewer banks from bank 2 on, or the current user bank for a
    // single bank), a backup or a .syx file. False with the message in errorText.
    bool compareWithFile(const QString &fileName, QString &errorText);
    void end();

    bool active() const { return comparing; }
    const PresetComparison &comparison() const { return result; }

public slots:
    void next();
    void previous();
    void takeTheirs();
    // Compares again, after the document changed.
    void refresh();

private:
    void step(bool forward);
    void showCurrent();
    void scheduleRefresh();

    MainWindow &window;
    // The window deletes its children in order of creation, the delegate before this controller.
    QPointer<PresetCellDelegate> delegate;
    CompareBar *bar;
    ComparePanel *panel;
    BankStore theirs;
    SelectionMask present;
    SelectionMask damaged;
    PresetComparison result;
    QString otherName;
    bool moduleTexts = false;
    bool comparing = false;
    bool refreshPending = false;
};
