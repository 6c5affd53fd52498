#pragma once

#include "model/bankstore.h"

#include <vector>

// One saved preset of the undo history.
struct UndoEntry
{
    PresetRecord saved;
    bool groupStart = false;
    int32_t bank = 0;
    int32_t preset = 0;
};

// Per-preset undo history over a BankStore. Entries are exchanged with the
// records they name, one group (one user operation) at a time. It owns the meaning
// of the store's `modified` flag: the banks are unmodified exactly when the history
// stands at its clean point, the state last saved, loaded, imported or exported whole.
class UndoHistory
{
public:
    static constexpr int Capacity = 10000;
    static constexpr int Limit = 9998; // entries ever in use

    UndoHistory(BankStore &store, bool &modified);

    // Saves the record's content before the caller changes it.
    void recordUndo(int bank, int preset);
    // Undoes or redoes one group; false when there was nothing to do.
    bool undo();
    bool redo();
    // Empties the history and clears `modified` (full load or import).
    void reset();
    // The banks as they are now were saved or exported whole: this is the clean point.
    void markClean();
    // Empties the history and sets `modified`: the banks match nothing saved (work
    // brought back after a crash).
    void resetUnsaved();
    // The saved state is gone (its file now holds something else): modified from here on,
    // and no undo leads back to a clean state.
    void forgetClean();

    // Grows with every change to the banks or the history, so a watcher can tell whether
    // anything happened since it last looked.
    quint64 changeCount() const { return changes; }

    int historyPos() const { return pos; }
    int historyEnd() const { return end; }
    bool canUndo() const { return pos > 0; }
    bool canRedo() const { return pos != end; }
    const UndoEntry &entry(int i) const { return entries[i]; }

    // The next recorded entry begins a new group.
    bool startNewGroup = true;

private:
    void trimHistory();
    void exchangeEntry(int i);

    BankStore &store;
    bool &modified;
    std::vector<UndoEntry> entries; // Capacity entries, allocated once with the first one
    int pos = 0;
    int end = 0;
    int cleanPos = 0;           // -1: the clean state was discarded or trimmed away
    bool droppingGroup = false; // the current operation outgrew the history
    quint64 changes = 0;
};

// Writes one preset of `store` as every edit does: records it in `history` (which keeps the
// same store), gives it the sound and texts of `content` and marks it.
void writePreset(BankStore &store, UndoHistory &history, int bank, int preset, const PresetRecord &content);
