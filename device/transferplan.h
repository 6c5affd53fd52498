#pragma once

#include "device/requestlink.h"
#include "device/transferbanks.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QObject>

#include <functional>
#include <optional>
#include <random>
#include <unordered_map>
#include <vector>

// The rules of one import or export, as states over a RequestLink:
//
//   Idle → Reading → Checking → Settling → Done                       (import)
//   Idle → Reading → Checking → Settling → Confirming → Writing
//        → Checking → Settling → Done                                 (export)
//   any running state → Stopped (no answer, write refused, out of step, Stop, Cancel)
//   Stopped → Retry → the state it stopped in, from where it stopped; once replies went
//             out of step, Settling and Reading from the start, however often it stops
//             before that new reading begins.
//
// Replies name no request, so a stray reply (doubled, late, unasked) taken for the request
// after it is caught in one of two ways: it leaves a reply too many (the link reports it,
// a resent request gets more replies than copies went out, or the fence below sees preset
// data before its answer); or it stands in for a lost reply and then repeats content the
// module holds (a doubled reply repeats the one before, an unasked one a stored preset).
// A run that reads most of the module reads all of it, so every such repeat is seen, and
// that preset and the one it repeats are read again in Checking, also those only read to
// check (with the next chosen preset after them, where a shift entering there lands); a run
// that reads less than half, or one told to read everything twice, reads each of its presets
// twice instead. Only that catches a stray whose content the module stores nowhere.
// Checking also reads one preset per bank again, one that a shifted answer would change (pickChecks).
// A Retry that reads everything again makes the backup again from that reading; only presets
// written before keep the originals of the first one.
// Settling sends an identify request as a fence: preset data arriving before its answer is a reply too many.
// Confirming saves the backup of what the module held and waits for the front end; nothing is written unless
// the backup was saved or the user chose writeWithoutBackup. Writing writes each preset that differs and
// reads it back, up to MaxWrites times. No texts here: the front ends make them from the states, counts and
// events.
class TransferPlan : public QObject
{
    Q_OBJECT

    struct Position
    {
        int bank;
        int preset;
        // From bank * 128 + preset.
        static Position of(int position)
        {
            return Position{position / PresetsPerBank, position % PresetsPerBank};
        }
    };

public:
    enum class State { Idle, Reading, Checking, Settling, Confirming, Writing, Stopped, Done };
    enum class StopReason {
        None,
        NoAnswer,
        OnlyDamaged,
        WriteRefused,
        OutOfStep,
        ByUser,
        Cancelled,
        PortGone
    };
    enum class Note {
        Started,   // count: 1 for an export
        Restarted, // after replies out of step
        Resumed,   // at bank, preset
        StopPressed,
        ChecksStarted,  // banks: those whose presets are all alike, left unchecked; count: the
                        // chosen presets read a second time
        Differing,      // count presets differ from the module
        BackupSaved,    // backupFile()
        BackupFailed,   // backupError()
        WritingStarted, // count presets, without a backup when withoutBackup()
        WriteRepeated,  // bank, preset, count: the try that follows
        Completed,      // count presets written
    };
    struct Event
    {
        Note note = Note::Started;
        int bank = 0;
        int preset = 0;
        int count = 0;
        std::vector<int> banks;
    };
    // Saves what the module held as `fileName`, or under another name that it sets there
    // when that one is taken; false with a message in errorText.
    using BackupWriter =
        std::function<bool(const TransferBanks &moduleBanks, QString &fileName, QString &errorText)>;

    static constexpr int MaxWrites = 5;
    static constexpr int FirstExportBank = 1; // the factory bank is never written

    explicit TransferPlan(RequestLink &link, QObject *parent = nullptr);

    void setExportMode(bool exportAll) { exporting = exportAll; }
    bool exportMode() const { return exporting; }
    TransferBanks &banks() { return images; }
    const TransferBanks &banks() const { return images; }
    // An export's reading pass: what banks 2..16 of the module held before anything was written.
    const TransferBanks &moduleBanks() const { return held; }
    // Only the presets set here are read and checked (an export's also backed up and
    // written); nothing (std::nullopt) for all of them. Set before start().
    void setChosen(const std::optional<SelectionMask> &positions) { chosen = positions; }
    // The choice set, or null for all presets.
    const SelectionMask *choice() const { return chosen ? &*chosen : nullptr; }
    // Export: the document the user edits (outliving the transfer). With it, what each preset
    // becomes is decided against what the module holds once it was read (recordOverImage):
    // a preset the document reads the same is not written, and a changed one keeps what
    // the document cannot tell. Without it, banks() holds the images to write as they are.
    void setDocument(const BankStore *records) { document = records; }
    // Export, at the question: of the changes, write only the positions set here; the
    // others stay as the module holds them, also after a Retry that reads everything again.
    void keepChanges(const std::vector<bool> &positions);
    void setBackupWriter(BackupWriter writer, const QString &fileName);
    // Every chosen preset read twice, whatever the choice: the only way to catch a stray
    // reply whose content the module stores nowhere (an edit buffer sent by a button on
    // the module) taking the place of a lost one. Doubles the reading time.
    void setReadEverythingTwice(bool on) { everythingTwice = on; }
    bool readsEverythingTwice() const { return everythingTwice; }
    // The presets of banks 2..16 whose order the checks draw from this seed.
    void setCheckSeed(unsigned seed) { random.seed(seed); }

    bool start();
    // Ends the transfer at the next reply or quiet time; at the question, as Cancel.
    void stop();
    bool canRetry() const;
    bool retry();
    // Answers the question: writes only when the backup was saved.
    bool confirmWrite();
    // The user's deliberate choice to write although no backup was saved.
    bool writeWithoutBackup();
    void cancelWrite();

    State state() const { return current; }
    bool running() const;
    StopReason stopReason() const { return reason; }
    // Out of step: found by a check that read differently (else by a reply too many).
    bool outOfStepAtCheck() const { return checkFailed; }
    // No answer (or Stop) while waiting for the identify request that closes a reading.
    bool stoppedAtFence() const { return fenceUnanswered && current == State::Stopped; }
    // Where it stopped (bank 0..15, preset 0..127).
    int stopBank() const { return stoppedAt.bank; }
    int stopPreset() const { return stoppedAt.preset; }
    // The position being transferred, 0..15 and 0..127.
    int bank() const { return at.bank; }
    int preset() const { return at.preset; }
    // Reading: presets read so far (readTotal when through).
    int readProgress() const { return readDone; }
    // The reads of the reading pass: the chosen presets, or the whole module where that
    // costs fewer reads than reading each chosen preset twice.
    int readTotal() const { return int(scanOrder.size()); }
    // The chosen presets of this run, and whether each is read twice (else the whole module once).
    int chosenCount() const { return int(readOrder.size()); }
    bool readsTwice() const { return readTwice; }
    // Writing: the changes, in order, and how many of them are through.
    const std::vector<int> &changes() const { return toWrite; }
    int changeCount() const { return int(toWrite.size()); }
    // Presets written and read back right.
    int writtenCount() const { return written; }
    // Presets at least one write went out to, read back or not: a stop may leave the
    // last of them changed on the module without a read-back.
    int writesSentCount() const { return sentTo; }
    // After a completed export: every preset a write went out to, also before a stop (the
    // reading after it found it in place).
    int presetsWritten() const { return std::max(written, sentTo); }
    // Nothing read before the stop can be trusted: Retry reads everything again.
    bool mustReadAgain() const { return mustReread; }
    int writeRepeats() const { return repeats; }
    // The write of the current preset that is being tried (1..MaxWrites).
    int writeTry() const { return writesOfThis; }
    bool backupSaved() const { return !backupPath.isEmpty(); }
    QString backupFile() const { return backupPath; }
    QString backupError() const { return backupWhy; }
    bool withoutBackup() const { return unguarded; }
    // Overwritten presets whose originals in the backup come from a reading that a later
    // check put in doubt, bank * 128 + preset.
    const std::vector<int> &unvouchedOriginals() const { return unvouched; }
    // Requests still to come in this run, for an estimate of the time left.
    int requestsLeft() const;

    // Handed every answer of the link; `image` is the preset data received, or null.
    void onAnswered(const RequestLink::Request &request, Sysex::ReplyKind kind, const PresetImage *image);
    void onUnanswered(const RequestLink::Request &request, bool onlyDamaged);
    void onReplyTooMany();
    // The ports closed under a running transfer: it is abandoned.
    void abandon();
    // A port went away: a running transfer stops, and since what answers when it comes back
    // may be another module or one started afresh, Retry reads everything again.
    void portLost();
    // The user closed the ports under a running transfer: it stops as by Stop, at once (at
    // the question, as by Cancel).
    void endByDisconnect();

    // For each bank from firstBank on, a preset to read again: one whose content differs
    // from the preset read just before it (and, where possible, from the check before),
    // so that an answer shifted by one would not compare equal; -1 where the bank and the
    // end of the one before are all alike, so a shift there cannot change anything.
    static std::vector<int> pickChecks(const TransferBanks &content, int firstBank, std::mt19937 &random);
    // The same over the positions read, in the order read: a bank none of them is in gets -1.
    static std::vector<int> pickChecks(const TransferBanks &content, const std::vector<int> &order,
                                       int firstBank, std::mt19937 &random);

signals:
    // Reading: done of total (2048); Writing: written of changeCount.
    void progressChanged(int done, int total);
    void confirmationNeeded(int changes);
    void completed();
    void stopped(TransferPlan::StopReason reason);
    void noted(const TransferPlan::Event &event);

private:
    void begin(bool fresh);
    void ask(RequestLink::Ask what, Position where);
    void readNext();
    void startChecks(bool againstModule);
    void checkNext();
    void settle();
    void afterSettling();
    void decideWrites();
    void computeTargets();
    void startWriting();
    void writeAt(std::size_t index, bool anotherTry = false);
    void complete();
    void end(StopReason why, Position where, bool atCheck = false);
    void note(Note n, int count = 0, Position where = Position{0, 0}, std::vector<int> banks = {});
    int firstBank() const { return exporting ? FirstExportBank : 0; }
    bool isChosen(int position) const;
    // The first pass of checks goes over the replies of the reading pass; an export's last
    // one over what was written.
    bool checkingReads() const { return checkingHeld || !exporting; }
    void reportReadProgress();
    void noteContent(int position, const PresetImage &content);
    void planReads();
    void addRereads(std::vector<std::pair<int, int>> &list) const;

    RequestLink &link;
    TransferBanks images;
    TransferBanks held;
    std::optional<SelectionMask> chosen;
    const BankStore *document = nullptr;
    std::vector<bool> declined;
    bool exporting = false;
    State current = State::Idle;
    State stateBeforeStop = State::Idle;
    StopReason reason = StopReason::None;
    Position at{0, 0};
    Position stoppedAt{0, 0};
    bool stopRequested = false;
    bool resyncing = false;
    bool mustReread = false;
    bool checkFailed = false;
    bool fenceUnanswered = false;
    bool unansweredFence = false; // set by onUnanswered for the end() it calls
    int readDone = 0;
    // The chosen positions, in order; the positions the reading pass asks for, in order, and
    // the one asked now; what each of those replied, as the module sent it.
    std::vector<int> readOrder;
    std::vector<int> scanOrder;
    std::size_t readIndex = 0;
    TransferBanks scanned;
    bool readTwice = false;
    bool everythingTwice = false;

    std::vector<int> toWrite; // positions bank * 128 + preset
    std::size_t writeIndex = 0;
    int writesOfThis = 0;
    int written = 0;
    int sentTo = 0;
    std::vector<bool> writeSent;
    int repeats = 0;
    // Content read in this run (a hash of it) and where it was first read; positions whose
    // content repeats another's, to be read again.
    std::unordered_map<quint64, int> contentAt;
    std::vector<int> repeated;
    std::vector<bool> repeatedFlag;

    std::vector<std::pair<int, int>> checks;
    std::size_t checkAt = 0;
    bool checkingHeld = false;

    BackupWriter backupWriter;
    QString backupTarget;
    QString backupPath;
    QString backupWhy;
    bool unguarded = false;
    TransferBanks backedUp;
    bool backupFromOldReading = false;
    std::vector<int> unvouched;

    std::mt19937 random{std::random_device{}()};
};
