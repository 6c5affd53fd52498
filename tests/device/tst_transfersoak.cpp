// The transfer's guarantee against combined faults: for any schedule of up to three faults
// among doubled, lost, late (up to three quiet times), unasked and damaged replies, an
// import or export either ends exactly right or stops with a message that is true, and
// Retry keeps it so. Random schedules through the virtual backend and the simulator, plus
// the schedules that once fooled it, by name.
#include "common/transferrig.h"
#include "device/miditransfer.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

#include <QRegularExpression>
#include <cstring>
#include <functional>
#include <random>

namespace {

using Kind = ModuleSimulator::FaultKind;
using Scheduled = ModuleSimulator::ScheduledFault;

constexpr int QuietMs = 4;
constexpr int NamedQuietMs = 500;

QString describe(const std::vector<Scheduled> &faults)
{
    static const char *const names[] = {"drop", "double", "late", "unasked", "damaged", "stray"};
    static const char *const anchors[] = {"", "first read of position ", "identify #", "write #"};
    QStringList parts;
    for (const Scheduled &f : faults)
        parts << QStringLiteral("%1@%2%3%4%5")
                     .arg(QLatin1String(names[int(f.kind)]), QLatin1String(anchors[int(f.anchor)]))
                     .arg(f.request)
                     .arg(f.anchor == ModuleSimulator::Anchor::Request ? QString()
                                                                       : QStringLiteral("+%1").arg(f.after))
                     .arg(f.kind == Kind::Late      ? QStringLiteral("+%1ms").arg(f.delayMs)
                          : f.kind == Kind::Unasked ? QStringLiteral("(bank %1 preset %2)")
                                                          .arg(f.position / PresetsPerBank + 1)
                                                          .arg(f.position % PresetsPerBank + 1)
                                                    : QString());
    return parts.join(QLatin1Char(' '));
}

PresetImage named(const char *name, uint8_t category = 1)
{
    PresetImage image{};
    image[PresetImageLayout::CategoryOffset] = category;
    std::memcpy(image.data() + PresetImageLayout::NameOffset, name, std::strlen(name));
    return image;
}

// One session against the simulator: fresh ports for every run, so nothing of an earlier
// run can arrive in the next.
struct SoakRig : Rig
{
    std::unique_ptr<MidiTransfer> transfer = std::make_unique<MidiTransfer>(backend);
    TransferBanks backup;
    bool backedUp = false;
    QStringList log;
    // The random schedules run at a few ms; the named ones, whose faults are tied to request
    // numbers, wait long enough that a busy machine never resends and so renumbers them.
    int quietMs = QuietMs;

    SoakRig()
    {
        transfer->setQuietTime(QuietMs);
        transfer->setBackupWriter(
            [this](const TransferBanks &held, QString &, QString &) {
                backup = held;
                backedUp = true;
                return true;
            },
            QStringLiteral("memory"));
        QObject::connect(transfer.get(), &MidiTransfer::confirmationNeeded, transfer.get(),
                         [this] { transfer->confirmWrite(); });
        QObject::connect(transfer.get(), &MidiTransfer::logLine, transfer.get(),
                         [this](const QString &line) { log << line; });
    }
    bool reconnect()
    {
        transfer->disconnectPorts();
        simulator->access([](ModuleSimulator &s) {
            s.faults() = ModuleSimulator::Faults();
            return 0;
        });
        // Faults come later; a busy machine must not fail the connect.
        transfer->setQuietTime(1000);
        QSignalSpy identity(transfer.get(), &MidiTransfer::identityReceived);
        const bool connected = transfer->connectPorts(simulatorIndex, simulatorIndex) && identity.wait(5000);
        transfer->setQuietTime(quietMs);
        return connected;
    }
    void prepare(const TransferBanks &module, const std::vector<Scheduled> &faults)
    {
        simulator->access([&](ModuleSimulator &s) {
            s.setProgramBanks(module);
            s.faults() = ModuleSimulator::Faults();
            s.resetCounts();
            s.faults().scheduled = faults;
            return 0;
        });
        backedUp = false;
        log.clear();
    }
    // Runs until it completes (true) or stops (false).
    bool wait()
    {
        QEventLoop loop;
        bool completed = false;
        bool ended = false;
        auto a = QObject::connect(transfer.get(), &MidiTransfer::transferCompleted, &loop, [&] {
            completed = ended = true;
            loop.quit();
        });
        auto b = QObject::connect(transfer.get(), &MidiTransfer::transferStopped, &loop, [&] {
            ended = true;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(a);
        QObject::disconnect(b);
        if (!ended)
            qFatal("the transfer neither completed nor stopped within 30 s");
        return completed;
    }
    // Starts and, after each stop, presses Retry up to `retries` times, and up to `slow` more
    // after stops for no answer (a few ms of quiet time are short for a busy machine);
    // `onStop` judges each stop.
    bool run(int retries, const std::function<void()> &onStop = {}, int slow = 0)
    {
        if (!transfer->startTransfer())
            return false;
        bool done = wait();
        while (!done) {
            if (onStop)
                onStop();
            int &budget =
                slow > 0 && transfer->stopReason() == MidiTransfer::StopReason::NoAnswer ? slow : retries;
            if (budget-- <= 0 || !transfer->canRetry() || !transfer->retry())
                break;
            done = wait();
        }
        return done;
    }
};

struct Case
{
    bool exportAll = false;
    TransferBanks module;
    TransferBanks file;            // export only
    std::vector<bool> chosen;      // export only; empty for every user preset
    std::vector<Scheduled> faults; // request numbers from the transfer's first request
    bool readTwice = false;        // "Read everything twice", and strays of content stored nowhere
};

// Empty when the outcome holds to the guarantee, else what is wrong.
QString judge(SoakRig &rig, const Case &c, bool done)
{
    if (!c.exportAll) {
        if (!done)
            return QString();
        const TransferBanks held = rig.banks();
        for (int position = 0; position < PresetCount; ++position) {
            const int b = position / PresetsPerBank;
            const int p = position % PresetsPerBank;
            if ((c.chosen.empty() || c.chosen[std::size_t(position)]) &&
                rig.transfer->banks().at(b, p) != held.at(b, p))
                return QStringLiteral(
                           "the import completed with content the module does not hold at bank %1, preset %2")
                    .arg(b + 1)
                    .arg(p + 1);
        }
        return QString();
    }
    const TransferBanks after = rig.banks();
    int changed = 0;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            const int position = b * PresetsPerBank + p;
            const bool chosen = b > 0 && (c.chosen.empty() || c.chosen[std::size_t(position)]);
            const QString at = QStringLiteral(" at bank %1, preset %2").arg(b + 1).arg(p + 1);
            if (done && chosen && after.at(b, p) != c.file.at(b, p))
                return QStringLiteral("completed, but the module differs from the file") + at;
            if (after.at(b, p) == c.module.at(b, p))
                continue;
            ++changed;
            if (!chosen)
                return QStringLiteral("a preset outside the export changed") + at;
            if (after.at(b, p) != c.file.at(b, p))
                return QStringLiteral("the module holds neither the original nor the file's preset") + at;
            if (!rig.backedUp || rig.backup.at(b, p) != c.module.at(b, p))
                return QStringLiteral("an overwritten preset is not in the backup as it was") + at;
        }
    if (!done) {
        const QString message = rig.transfer->stopMessage();
        if (message.contains(QStringLiteral("Nothing was written")) && changed > 0)
            return QStringLiteral("\"Nothing was written\" after %1 writes: %2").arg(changed).arg(message);
        if (rig.transfer->writtenCount() > changed || changed > rig.transfer->plan().writesSentCount())
            return QStringLiteral("counts untrue: %1 verified, %2 sent, %3 changed on the module")
                .arg(rig.transfer->writtenCount())
                .arg(rig.transfer->plan().writesSentCount())
                .arg(changed);
    }
    return QString();
}

// Empty when the stop's message says what happened, else what it gets wrong: how many were
// written, where it stopped, and that nothing was taken over or written where it says so.
QString judgeStop(SoakRig &rig, const Case &c)
{
    const QString message = rig.transfer->stopMessage();
    if (message.isEmpty())
        return QStringLiteral("stopped without a message");
    rig.backend->flush(); // every request sent has reached the module
    const ModuleSimulator::Counts counts = rig.counts();
    const QRegularExpressionMatch at =
        QRegularExpression(
            QStringLiteral("(stopped answering at|only damaged replies at|: ) ?bank (\\d+), preset (\\d+)"))
            .match(message);
    const int named =
        at.hasMatch() ? (at.captured(2).toInt() - 1) * PresetsPerBank + at.captured(3).toInt() - 1 : -1;
    switch (rig.transfer->stopReason()) {
    case MidiTransfer::StopReason::NoAnswer:
    case MidiTransfer::StopReason::OnlyDamaged:
        // The request that went unanswered is the last one the module got.
        if (counts.lastPosition == -1 ? !message.contains(QStringLiteral("check that closes the reading"))
                                      : named != counts.lastPosition)
            return QStringLiteral("names the wrong place (the last request was for %1)")
                .arg(counts.lastPosition);
        break;
    case MidiTransfer::StopReason::OutOfStep:
        if (rig.transfer->plan().outOfStepAtCheck() && (named < 0 || counts.reads[std::size_t(named)] < 2))
            return QStringLiteral("names a preset as read twice that was not");
        if (!c.exportAll && !message.contains(QStringLiteral("Nothing was imported.")))
            return QStringLiteral("does not say that nothing was imported");
        break;
    default:
        break;
    }
    if (!c.exportAll)
        return QString();
    const TransferBanks after = rig.banks();
    int changed = 0;
    for (int position = PresetsPerBank; position < PresetCount; ++position)
        changed += after.at(position / PresetsPerBank, position % PresetsPerBank) !=
                   c.module.at(position / PresetsPerBank, position % PresetsPerBank);
    const QRegularExpressionMatch verified =
        QRegularExpression(QStringLiteral("(\\d+) presets? (was|were) written and read back right"))
            .match(message);
    const QRegularExpressionMatch more =
        QRegularExpression(QStringLiteral("(\\d+) more presets? went out")).match(message);
    const int n = verified.hasMatch() ? verified.captured(1).toInt() : 0;
    const int m = more.hasMatch() ? more.captured(1).toInt() : 0;
    if (!verified.hasMatch() && changed > 0)
        return QStringLiteral("says nothing of writes after %1").arg(changed);
    if (verified.hasMatch() && (changed < n || changed > n + m))
        return QStringLiteral("counts %1 written and %2 unread, the module has %3 changed")
            .arg(n)
            .arg(m)
            .arg(changed);
    if (message.contains(QStringLiteral("What the module held before is saved")) && !rig.backedUp)
        return QStringLiteral("names a backup that was not saved");
    return QString();
}

// A module with what fools a shift detector: runs of one preset, pairs far apart, and
// content that differs only in a parameter.
TransferBanks soakModule(std::mt19937 &random)
{
    TransferBanks banks = ModuleSimulator::factoryProgramBanks();
    const PresetImage init = named("Init");
    for (int run = 0; run < 6; ++run) {
        const int b = 1 + int(random() % 15);
        const int from = int(random() % 120);
        const int length = 2 + int(random() % 8);
        for (int p = from; p < std::min(PresetsPerBank, from + length); ++p)
            banks.at(b, p) = init;
    }
    for (int pair = 0; pair < 8; ++pair) {
        const int from = int(random() % PresetCount);
        const int to = PresetsPerBank + int(random() % (PresetCount - PresetsPerBank));
        banks.at(to / PresetsPerBank, to % PresetsPerBank) =
            banks.at(from / PresetsPerBank, from % PresetsPerBank);
    }
    return banks;
}

// Short runs of positions from `first` on, so neighbours and their shifts are in the choice.
std::vector<bool> choose(std::mt19937 &random, int first, int &picked)
{
    std::vector<bool> chosen(PresetCount, false);
    picked = 0;
    for (int run = 0; run < 6; ++run) {
        const int from = first + int(random() % (PresetCount - first - 8));
        for (int i = 0; i < 2 + int(random() % 7); ++i)
            if (!chosen[std::size_t(from + i)]) {
                chosen[std::size_t(from + i)] = true;
                ++picked;
            }
    }
    return chosen;
}

Case randomCase(std::mt19937 &random)
{
    Case c;
    c.module = soakModule(random);
    c.exportAll = random() % 10 < 6;
    // A few transfers of everything or of all but a few presets (the whole module is read);
    // the others of a small choice (each of its presets read twice), which costs less time
    // and meets the same rules.
    const bool everything = random() % 40 == 0;
    const bool mostly = everything && random() % 2;
    int picked = PresetCount;
    auto allBut = [&](int first) {
        int left = 0;
        std::vector<bool> chosen = choose(random, first, left);
        for (std::size_t i = 0; i < chosen.size(); ++i)
            chosen[i] = int(i) >= first && !chosen[i];
        picked = PresetCount - first - left;
        return chosen;
    };
    if (!c.exportAll) {
        if (mostly)
            c.chosen = allBut(0);
        else if (!everything)
            c.chosen = choose(random, random() % 2 ? 0 : PresetsPerBank - 12, picked);
    } else {
        c.file = c.module;
        picked = PresetCount - PresetsPerBank;
        if (mostly)
            c.chosen = allBut(PresetsPerBank);
        else if (!everything)
            c.chosen = choose(random, PresetsPerBank, picked);
        int changes = 0;
        for (int position = PresetsPerBank; position < PresetCount; ++position) {
            if (!c.chosen.empty() && !c.chosen[std::size_t(position)])
                continue;
            const int roll = int(random() % 100);
            PresetImage &image = c.file.at(position / PresetsPerBank, position % PresetsPerBank);
            if (roll < (everything ? 1 : 30)) {
                image[3] = uint8_t((image[3] + 1) & 0x7F);
                ++changes;
            } else if (roll < (everything ? 2 : 40)) {
                // The preset before it, as a shifted read would show it.
                image = c.module.at((position - 1) / PresetsPerBank, (position - 1) % PresetsPerBank);
                ++changes;
            }
        }
        picked += 3 * changes;
    }
    // A small choice is read twice, anything else reads the whole module once.
    const int requests = (everything ? PresetCount : 2 * picked) + 2 * BankCount + 4;
    c.readTwice = random() % 8 == 0;
    const int count = 1 + int(random() % 3);
    int last = 1 + int(random() % std::max(1, requests));
    for (int i = 0; i < count; ++i) {
        Scheduled f;
        f.kind = Kind(random() % (c.readTwice ? 6 : 5));
        // Mostly close together: a fault's effect meets the next fault there.
        f.request = i == 0 || random() % 10 < 3 ? 1 + int(random() % std::max(1, requests))
                                                : last + int(random() % 4);
        last = f.request;
        if (f.kind == Kind::Late)
            f.delayMs = 1 + int(random() % (3 * QuietMs));
        // An unasked reply carries any preset the module holds: half the time one of the
        // choice (a repeat), else most likely one the transfer was not asked for.
        if (f.kind == Kind::Unasked) {
            const bool ofTheChoice = random() % 2 && !c.chosen.empty();
            do
                f.position = int(random() % PresetCount);
            while (ofTheChoice && !c.chosen[std::size_t(f.position)]);
        }
        c.faults.push_back(f);
    }
    return c;
}

QString runCase(SoakRig &rig, const Case &c, int retries, int slow = 0)
{
    if (!rig.reconnect())
        return QStringLiteral("could not connect");
    rig.prepare(c.module, c.faults);
    rig.transfer->setExportMode(c.exportAll);
    rig.transfer->banks() = c.exportAll ? c.file : TransferBanks();
    std::optional<SelectionMask> chosen;
    if (!c.chosen.empty()) {
        chosen.emplace();
        for (int i = 0; i < PresetCount; ++i)
            chosen->set(i / PresetsPerBank, i % PresetsPerBank, c.chosen[std::size_t(i)]);
    }
    rig.transfer->plan().setChosen(chosen);
    rig.transfer->plan().setReadEverythingTwice(c.readTwice);
    QString wrongStop;
    const bool done = rig.run(
        retries,
        [&] {
            if (wrongStop.isEmpty())
                wrongStop = judgeStop(rig, c);
            if (wrongStop.isEmpty())
                wrongStop = judge(rig, c, false);
            if (!wrongStop.isEmpty() && !wrongStop.startsWith(QLatin1String("stop")))
                wrongStop = QStringLiteral("stop \"%1\": %2").arg(rig.transfer->stopMessage(), wrongStop);
        },
        slow);
    if (!wrongStop.isEmpty())
        return wrongStop;
    return judge(rig, c, done);
}

// After at most one Retry per fault the transfer must have ended exactly right.
QString runToTheEnd(SoakRig &rig, const Case &c)
{
    const QString wrong = runCase(rig, c, int(c.faults.size()), 2);
    if (!wrong.isEmpty() || rig.transfer->transferDone())
        return wrong;
    return QStringLiteral("still stopped after %1 retries: %2")
        .arg(c.faults.size())
        .arg(rig.transfer->stopMessage());
}

} // namespace

class TestTransferSoak : public QObject
{
    Q_OBJECT

    static Case namedCase(bool exportAll, std::vector<Scheduled> faults, int changeAt = -1)
    {
        Case c;
        c.exportAll = exportAll;
        c.module = ModuleSimulator::factoryProgramBanks();
        c.file = c.module;
        if (changeAt >= 0)
            c.file.at(changeAt / PresetsPerBank, changeAt % PresetsPerBank)[5] ^= 0x11;
        c.faults = std::move(faults);
        return c;
    }

private slots:
    // The schedules that once ended in success on wrong data or lost originals; each must
    // now end exactly right or stop truthfully, and Retry must then end exactly right.
    void namedSchedules_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<int>("first"); // the request whose reply comes twice; the next one's is lost
        QTest::addColumn<int>("changeAt");
        // Request 139 reads bank 2, preset 11 in an export, bank 2, preset 11 too (position
        // 138) in an import.
        QTest::newRow("import, doubled then lost") << false << 139 << -1;
        QTest::newRow("export, doubled then lost, nothing to write") << true << 139 << -1;
        QTest::newRow("export, doubled then lost where the file changes the shifted slot")
            << true << 139 << PresetsPerBank + 139;
        QTest::newRow("export, doubled then lost on the last read") << true << 1920 << -1;
    }
    void namedSchedules()
    {
        QFETCH(bool, exportAll);
        QFETCH(int, first);
        QFETCH(int, changeAt);
        SoakRig rig;
        rig.quietMs = NamedQuietMs;
        const Case c = namedCase(
            exportAll, {Scheduled{Kind::Double, first, 0, 0}, Scheduled{Kind::Drop, first + 1, 0, 0}},
            changeAt);
        QString wrong = runCase(rig, c, 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        if (!rig.transfer->transferDone()) {
            QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
            QVERIFY(rig.transfer->retry());
            QVERIFY2(rig.wait(), qPrintable(rig.transfer->stopMessage()));
            wrong = judge(rig, c, true);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
        if (exportAll)
            QCOMPARE(rig.transfer->writtenCount(), changeAt >= 0 ? 1 : 0);
    }

    // A stray standing in for a lost reply where the transfer switches from presets it only
    // reads to check to chosen ones: the factory/user seam, and the first of a choice of half
    // the module or more. Double@F-1 and Drop@F+1 leave F-1 holding F-2's content and F (the
    // first chosen preset) holding F-1's, which repeats nothing.
    void seamSchedules_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<int>("chosen"); // the last N positions; 0 for all
        QTest::addColumn<bool>("initModule");
        QTest::addColumn<bool>("unasked"); // an unasked copy instead of the doubled reply
        QTest::addColumn<bool>("throughRetry");
        QTest::newRow("export, factory/user seam") << true << 0 << false << false << false;
        QTest::newRow("export, factory/user seam, unasked copy") << true << 0 << false << true << false;
        QTest::newRow("export, factory/user seam, Init module") << true << 0 << true << false << false;
        QTest::newRow("export, factory/user seam, through Retry") << true << 0 << false << false << true;
        QTest::newRow("export, choice of 1024") << true << 1024 << false << false << false;
        QTest::newRow("export, choice of 1025") << true << 1025 << false << false << false;
        QTest::newRow("import, choice of 1024") << false << 1024 << false << false << false;
        QTest::newRow("import, choice of 1024, Init module") << false << 1024 << true << true << false;
    }
    void seamSchedules()
    {
        QFETCH(bool, exportAll);
        QFETCH(int, chosen);
        QFETCH(bool, initModule);
        QFETCH(bool, unasked);
        QFETCH(bool, throughRetry);
        SoakRig rig;
        rig.quietMs = NamedQuietMs;
        Case c = namedCase(exportAll, {});
        if (initModule)
            for (int position = PresetsPerBank; position < PresetCount; ++position)
                c.module.at(position / PresetsPerBank, position % PresetsPerBank) = named("Init");
        const int first = chosen > 0 ? PresetCount - chosen : PresetsPerBank;
        if (chosen > 0) {
            c.chosen.assign(PresetCount, false);
            std::fill(c.chosen.begin() + first, c.chosen.end(), true);
        }
        // 40 changes, the first chosen preset among them.
        c.file = c.module;
        for (int i = 0; exportAll && i < 40; ++i) {
            const int position = first + i * 23;
            c.file.at(position / PresetsPerBank, position % PresetsPerBank)[5] ^= 0x11;
        }
        // Requests count from 1, one per position read; a Retry's reading follows its fence.
        int offset = 0;
        if (throughRetry) {
            c.faults = {Scheduled{Kind::Double, 1500, 0, 0}};
            QVERIFY(runCase(rig, c, 0).isEmpty());
            QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
            rig.backend->flush();
            offset = rig.counts().requests + 1;
        }
        Scheduled stray{unasked ? Kind::Unasked : Kind::Double, offset + first - 1, 0, first - 2};
        std::vector<Scheduled> faults{stray, Scheduled{Kind::Drop, offset + first + 1, 0, 0}};
        QString wrong;
        if (throughRetry) {
            rig.simulator->access([&](ModuleSimulator &s) {
                s.faults().scheduled = faults;
                return 0;
            });
            QVERIFY(rig.transfer->retry());
            wrong = judge(rig, c, rig.wait());
        } else {
            c.faults = faults;
            wrong = runCase(rig, c, 0);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong + QLatin1Char('\n') + rig.log.join(QLatin1Char('\n'))));
        if (!rig.transfer->transferDone()) {
            QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
            QVERIFY(rig.transfer->retry());
            QVERIFY2(rig.wait(), qPrintable(rig.transfer->stopMessage()));
            wrong = judge(rig, c, true);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
    }

    // A stray of content the module stores nowhere in place of a lost reply repeats nothing:
    // only reading everything twice catches it, and then the transfer ends exactly right.
    void theExceptionClosesWhenEverythingIsReadTwice_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<int>("at"); // the position whose reply is lost
        QTest::newRow("import, bank 6 preset 12") << false << 5 * PresetsPerBank + 11;
        QTest::newRow("export, bank 3 preset 6") << true << 2 * PresetsPerBank + 5;
    }
    void theExceptionClosesWhenEverythingIsReadTwice()
    {
        QFETCH(bool, exportAll);
        QFETCH(int, at);
        for (bool twice : {false, true}) {
            SoakRig rig;
            rig.quietMs = NamedQuietMs;
            Case c = namedCase(exportAll, {});
            c.readTwice = twice;
            for (int i = 0; exportAll && i < 40; ++i)
                c.file.at(2 + i / 4, i)[5] ^= 0x11;
            c.file.at(at / PresetsPerBank, at % PresetsPerBank)[5] ^= 0x11;
            // The stray follows the reply before `at`, whose own reply is lost. The checks' seed
            // is fixed so that without reading twice no check happens to read `at` again.
            rig.transfer->setCheckSeed(1);
            c.faults = {Scheduled{Kind::Stray, at - 1, 0, 0, ModuleSimulator::Anchor::FirstRead, 0},
                        Scheduled{Kind::Drop, at, 0, 0, ModuleSimulator::Anchor::FirstRead, 0}};
            const QString wrong = runToTheEnd(rig, c);
            if (twice)
                QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
            else // without, the stray is taken: the gap the setting closes
                QVERIFY2(!wrong.isEmpty(), "the stray was caught without reading twice");
        }
    }

    // A port that goes away mid-transfer is noticed and named; Retry waits for it to come
    // back, opens it again by its name and ends exactly right; Stop ends the wait.
    void aPortThatGoesAwayComesBack_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<bool>("whileWriting");
        QTest::newRow("import") << false << false;
        QTest::newRow("export, reading") << true << false;
        QTest::newRow("export, writing") << true << true;
    }
    void aPortThatGoesAwayComesBack()
    {
        QFETCH(bool, exportAll);
        QFETCH(bool, whileWriting);
        SoakRig rig;
        rig.quietMs = 50;
        Case c = namedCase(exportAll, {});
        for (int i = 0; exportAll && i < 6; ++i)
            c.file.at(3 + i, 7 * i)[5] ^= 0x11;
        bool unplugged = false;
        QObject::connect(
            rig.transfer.get(), &MidiTransfer::progressChanged, rig.transfer.get(), [&](int done, int) {
                const bool writing = rig.transfer->phase() == MidiTransfer::Phase::Writing;
                if (!unplugged && writing == whileWriting && done == (writing ? 2 : 700)) {
                    unplugged = true;
                    rig.backend->setPlugged(rig.simulatorIndex, false);
                    QTimer::singleShot(0, rig.transfer.get(), [&] { rig.transfer->checkPorts(); });
                }
            });
        int stops = 0;
        const QString wrong = [&] {
            if (!rig.reconnect())
                return QStringLiteral("could not connect");
            rig.prepare(c.module, {});
            rig.transfer->setExportMode(exportAll);
            rig.transfer->banks() = exportAll ? c.file : TransferBanks();
            rig.transfer->plan().setChosen(std::nullopt);
            QString bad;
            rig.run(2, [&] {
                ++stops;
                if (rig.transfer->stopReason() != MidiTransfer::StopReason::PortGone)
                    bad = QStringLiteral("stopped for another reason: ") + rig.transfer->stopMessage();
                else if (stops == 1) {
                    // Retry while the port is away waits; Stop ends the wait, a second Retry
                    // opens it again once it is back.
                    QVERIFY(rig.transfer->retry() && rig.transfer->waitingForPorts());
                    rig.transfer->stop();
                    QVERIFY(!rig.transfer->waitingForPorts());
                    QTimer::singleShot(300, [&] { rig.backend->setPlugged(rig.simulatorIndex, true); });
                }
                if (bad.isEmpty())
                    bad = judgeStop(rig, c);
            });
            return bad.isEmpty() ? judge(rig, c, rig.transfer->transferDone()) : bad;
        }();
        QVERIFY2(wrong.isEmpty() && rig.transfer->transferDone() && stops == 1,
                 qPrintable(QString::number(stops) + QLatin1Char(' ') + wrong + QLatin1Char('\n') +
                            rig.log.join(QLatin1Char('\n'))));
        QVERIFY(!rig.log.filter(QStringLiteral("went away at")).isEmpty());
        QVERIFY(!rig.log.filter(QStringLiteral("Ports opened again")).isEmpty());
    }

    // Out of step while a write was on its way: the stop counts it, and never says nothing
    // was written.
    void aStopCountsTheWriteOnItsWay()
    {
        SoakRig rig;
        rig.quietMs = NamedQuietMs;
        // 2048 reads, 15 checks and the fence; the first write is 2065, its read-back 2066,
        // whose doubled reply meets the second write.
        Case c = namedCase(true, {Scheduled{Kind::Double, 2066, 0, 0}});
        c.file.at(2, 0)[5] ^= 0x11;
        c.file.at(9, 9)[5] ^= 0x11;
        QVERIFY(runCase(rig, c, 0).isEmpty());
        QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
        QCOMPARE(rig.transfer->writtenCount(), 1);
        QCOMPARE(rig.transfer->plan().writesSentCount(), 2);
        const QString message = rig.transfer->stopMessage();
        QVERIFY2(
            message.contains(QStringLiteral("1 preset was written and read back right. The write of 1 more "
                                            "preset went out but was not read back.")),
            qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("Nothing")));

        // Retry reads everything again and makes the backup from that reading: a preset
        // changed on the module since is kept as it is now; the two written keep their originals.
        const PresetImage now = named("Changed meanwhile");
        rig.simulator->access([&](ModuleSimulator &s) {
            s.image(4, 4) = now;
            return 0;
        });
        c.module.at(4, 4) = now; // the file's preset goes back over it
        rig.backedUp = false;
        QVERIFY(rig.transfer->retry());
        QVERIFY2(rig.wait(), qPrintable(rig.transfer->stopMessage()));
        QVERIFY(rig.backedUp);
        QVERIFY(rig.backup.at(4, 4) == now);
        const QString wrong = judge(rig, c, true);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QCOMPARE(rig.transfer->plan().writesSentCount(), 3);
    }

    // After replies went out of step, every Retry reads everything again until a new reading
    // has begun: also when the fence before it went unanswered, or Stop was pressed then.
    void retryAfterOutOfStepAlwaysReadsAgain_data()
    {
        QTest::addColumn<bool>("stopAtFence");
        QTest::newRow("fence unanswered") << false;
        QTest::newRow("stop pressed while the fence is out") << true;
    }
    void retryAfterOutOfStepAlwaysReadsAgain()
    {
        QFETCH(bool, stopAtFence);
        SoakRig rig;
        rig.quietMs = NamedQuietMs;
        // A module of alike presets, where a shift shows in one place only.
        Case c = namedCase(true, {Scheduled{Kind::Double, 300, 0, 0}});
        const PresetImage init = named("Init");
        for (int b = 1; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                c.module.at(b, p) = init;
        c.module.at(3, 10) = named("Pad");
        c.file = c.module;
        c.file.at(3, 11)[9] = 1;
        const QString wrong = runCase(rig, c, 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
        QVERIFY(rig.transfer->plan().mustReadAgain());

        rig.backend->flush(); // the replies of the stopped run are out, none of them lost
        rig.simulator->access([&](ModuleSimulator &s) {
            s.faults().dropReplies = stopAtFence ? 0 : 4;
            return 0;
        });
        QVERIFY(rig.transfer->retry());
        if (stopAtFence)
            rig.transfer->stop();
        QVERIFY2(!rig.wait(), qPrintable(rig.log.join(QLatin1Char('\n'))));
        QCOMPARE(int(rig.transfer->stopReason()),
                 int(stopAtFence ? MidiTransfer::StopReason::ByUser : MidiTransfer::StopReason::NoAnswer));
        QVERIFY(rig.transfer->plan().mustReadAgain());
        QCOMPARE(rig.transfer->plan().writesSentCount(), 0);
        QVERIFY(rig.banks() == c.module);

        const int readsBefore = rig.counts().presetRequests;
        QVERIFY(rig.transfer->retry());
        QVERIFY2(rig.wait(), qPrintable(rig.transfer->stopMessage()));
        QVERIFY(rig.counts().presetRequests - readsBefore >= PresetCount - PresetsPerBank);
        QVERIFY(rig.banks() == c.file);
        QCOMPARE(rig.transfer->writtenCount(), 1);
        QVERIFY(rig.backedUp && rig.backup.at(3, 11) == c.module.at(3, 11));
    }

    void randomFaultSchedules()
    {
        const unsigned base = qEnvironmentVariableIsSet("ORVEX_SOAK_SEED")
                                  ? qEnvironmentVariableIntValue("ORVEX_SOAK_SEED")
                                  : 20261207u;
        const int runs = qEnvironmentVariableIsSet("ORVEX_SOAK_RUNS")
                             ? qEnvironmentVariableIntValue("ORVEX_SOAK_RUNS")
                             : 900;
        SoakRig rig;
        for (int i = 0; i < runs; ++i) {
            const unsigned seed = base + unsigned(i);
            std::mt19937 random(seed);
            const Case c = randomCase(random);
            const QString wrong = runToTheEnd(rig, c);
            if (!wrong.isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("seed %1 (%2, %3 chosen), faults %4: %5\n  stop: %6\n  log: %7")
                        .arg(seed)
                        .arg(c.exportAll ? QStringLiteral("export") : QStringLiteral("import"))
                        .arg(c.chosen.empty() ? -1 : int(std::count(c.chosen.begin(), c.chosen.end(), true)))
                        .arg(describe(c.faults), wrong, rig.transfer->stopMessage(),
                             rig.log.join(QStringLiteral("\n       ")))));
        }
        qInfo("%d schedules, each ended exactly right", runs);
    }

    // Faults placed where the transfer changes what it does: the factory/user switch, bank
    // edges, the switch of a choice from presets read only to check to chosen ones, the end
    // of the reading, the fence, the first write and the read-backs of the first and last
    // write, and a Retry's first requests.
    void seamFaultSchedules()
    {
        using Anchor = ModuleSimulator::Anchor;
        const unsigned base = qEnvironmentVariableIsSet("ORVEX_SOAK_SEED")
                                  ? qEnvironmentVariableIntValue("ORVEX_SOAK_SEED")
                                  : 20261208u;
        const int runs = qEnvironmentVariableIsSet("ORVEX_SOAK_RUNS")
                             ? qEnvironmentVariableIntValue("ORVEX_SOAK_RUNS") / 3
                             : 250;
        SoakRig rig;
        for (int i = 0; i < runs; ++i) {
            const unsigned seed = base + unsigned(i);
            std::mt19937 random(seed);
            Case c;
            c.module = soakModule(random);
            c.exportAll = random() % 10 < 7;
            // Everything, or the last half of the module or one more (read whole, only some kept).
            const int roll = int(random() % 3);
            const int first = roll == 0 ? (c.exportAll ? PresetsPerBank : 0) : PresetCount / 2 - (roll == 2);
            if (roll > 0) {
                c.chosen.assign(PresetCount, false);
                std::fill(c.chosen.begin() + first, c.chosen.end(), true);
            }
            int changes = 0;
            c.file = c.module;
            for (int position = first; c.exportAll && position < PresetCount; ++position)
                if (random() % 100 < 2 || position == first) {
                    c.file.at(position / PresetsPerBank, position % PresetsPerBank)[7] ^= 0x21;
                    ++changes;
                }
            // The seam: an anchor and how far after it.
            struct Seam
            {
                Anchor anchor;
                int value;
                int spread;
            };
            const int edge = PresetsPerBank * (1 + int(random() % (BankCount - 1)));
            const std::vector<Seam> seams = {
                {Anchor::FirstRead, first - 2, 4},          // into the first chosen preset
                {Anchor::FirstRead, PresetsPerBank - 2, 4}, // factory/user switch
                {Anchor::FirstRead, edge - 2, 4},           // a bank edge
                {Anchor::FirstRead, PresetCount - 1, 3},    // reading to checking
                {Anchor::Identify, 1, 2},                   // the fence
                {Anchor::Identify, 1, 3},                   // to writing: the first write and its read-back
                {Anchor::Write, 1, 2},                      // the first read-back
                {Anchor::Write, std::max(1, changes), 2},   // the last read-back
            };
            const Seam seam = seams[random() % (c.exportAll ? seams.size() : 5)];
            auto place = [&](Kind kind, Anchor anchor, int value, int after) {
                Scheduled f{kind, std::max(0, value), 0, int(random() % PresetCount), anchor, after};
                if (kind == Kind::Late)
                    f.delayMs = 1 + int(random() % (3 * QuietMs));
                c.faults.push_back(f);
            };
            const int after = int(random() % seam.spread);
            if (random() % 2) {
                // A stray standing in for the lost reply after it.
                place(random() % 2 ? Kind::Double : Kind::Unasked, seam.anchor, seam.value, after);
                place(Kind::Drop, seam.anchor, seam.value, after + 2);
            } else {
                place(Kind(random() % 5), seam.anchor, seam.value, after);
            }
            // Half of them also at a Retry's first requests (its fence is the next identify).
            if (random() % 2)
                place(Kind(random() % 5), Anchor::Identify, seam.anchor == Anchor::Identify ? 3 : 2,
                      int(random() % 3));
            const QString wrong = runToTheEnd(rig, c);
            if (!wrong.isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("seed %1 (%2, %3 chosen), faults %4: %5\n  log: %6")
                        .arg(seed)
                        .arg(c.exportAll ? QStringLiteral("export") : QStringLiteral("import"))
                        .arg(c.chosen.empty() ? -1 : PresetCount - first)
                        .arg(describe(c.faults), wrong, rig.log.join(QStringLiteral("\n       ")))));
        }
    }
};

QTEST_GUILESS_MAIN(TestTransferSoak)
#include "tst_transfersoak.moc"
