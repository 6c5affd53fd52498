#pragma once

#include "device/transferbanks.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QDateTime>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class MidiTransfer;

// The export backups in the program's data folder ("module-backup-YYYYMMDD-HHMMSS.pre",
// banks 2..16 of the module as a 15-bank preset file): listing, the module each came
// from, and pruning. What module a backup came from is kept in a small text file beside
// it ("….info"), so the preset file stays a plain preset file any version reads.
class BackupCatalog
{
public:
    struct Entry
    {
        QString path;
        QDateTime made; // from the file name; the file's time when the name has none
        QString serial; // empty when no information file is there
        QString firmware;
        int sequence = 1; // the "-N" of a second backup made within the same second
        // False when no information file says what it covers: then the presets left empty
        // in it count as not held, so a placeholder is never restored.
        bool coverageKnown = false;
        // The presets the backup holds: all of banks 2..16 unless an export of a choice
        // read fewer (the others in the file are placeholders).
        SelectionMask held;
        // The export it was made for wrote nothing (cancelled at the question).
        bool unused = false;
    };

    explicit BackupCatalog(const QString &folder = defaultFolder());

    static QString defaultFolder();
    // The information file that belongs to a backup.
    static QString infoPath(const QString &backupPath);
    // Writes the module's serial number and firmware version beside the backup, and which
    // presets it holds (all of banks 2..16 when `held` is null). False with a translatable
    // message in errorText when that fails.
    static bool writeInfo(const QString &backupPath, const QString &serial, const QString &firmware,
                          QString &errorText, const SelectionMask *held = nullptr);
    // Notes beside a backup that its export wrote nothing, so the list can say so.
    static bool markUnused(const QString &backupPath, QString &errorText);
    // Reads a backup's presets into their banks of `store`; `present` gets the positions it
    // holds with usable data, `unusable` those it should hold but lacks or holds damaged
    // (they are left in `store` as they were, never made empty).
    static bool load(const QString &backupPath, BankStore &store, SelectionMask &present, QString &errorText,
                     SelectionMask *unusable = nullptr);
    static Entry entryFor(const QString &backupPath);
    // Why a backup that lacks presets or holds them damaged is not restored, naming them.
    static QString unusableText(const QString &backupPath, const SelectionMask &unusable);

    // What an export does before it writes: saves what the module held (its presets of
    // `held`, or all of banks 2..16 when null) as the backup `fileName`, with the module and
    // the presets it covers in its information file, and, when the backup is in this
    // catalog's folder, prunes the old ones (see prune). An existing file is never
    // replaced: when the name is taken, "-2", "-3", ... is added and `fileName` changed.
    // Saved only whole: when either file cannot be written, neither is left and it
    // returns false with a message in errorText. `notes` gets what else happened.
    bool saveBackup(const TransferBanks &moduleBanks, QString &fileName, const QString &serial,
                    const QString &firmware, const SelectionMask *held, int keepNewest, int keepDays,
                    QString &errorText, QStringList &notes) const;

    QString folder() const { return dir; }
    // Newest first.
    QVector<Entry> entries() const;
    // Removes every backup beyond the newest `keepNewest` that is also older than
    // `keepDays` days, with its information file, never `keep` (the one just made).
    // Returns the paths removed.
    QStringList prune(int keepNewest, int keepDays, const QString &keep,
                      const QDateTime &now = QDateTime::currentDateTime()) const;

    static constexpr int DefaultKeepNewest = 50;
    static constexpr int DefaultKeepDays = 30;
    // How many backups prune keeps.
    struct Keeping
    {
        int newest = DefaultKeepNewest;
        int days = DefaultKeepDays;
    };
    // As the settings "backupkeep" and "backupdays" say, the defaults where they do not.
    static Keeping keepingFrom(const QSettings &settings);

    // What every export front end does before it writes: has `transfer` save what the module
    // holds with saveBackup, to `fileName` or, when empty, TransferBackup::defaultPath(),
    // covering the transfer's choice as its plan holds it then; `note` gets each line of
    // what else happened.
    static void saveBeforeWriting(MidiTransfer &transfer, const QString &fileName, Keeping keeping,
                                  std::function<void(const QString &)> note);

private:
    // Takes `path`, or the first free "-N" variant of it, by creating it empty and
    // exclusively; changes `path` to the one taken.
    static bool claimName(QString &path, QString &errorText);

    QString dir;
};
