#include "device/transferplan.h"

#include "files/presetfile.h"

#include <algorithm>
#include <cstring>
#include <utility>

TransferPlan::TransferPlan(RequestLink &requestLink, QObject *parent) : QObject(parent), link(requestLink) {}

void TransferPlan::setBackupWriter(BackupWriter writer, const QString &fileName)
{
    backupWriter = std::move(writer);
    backupTarget = fileName;
}

bool TransferPlan::running() const
{
    return current != State::Idle && current != State::Stopped && current != State::Done;
}

void TransferPlan::note(Note n, int count, Position where, std::vector<int> banks)
{
    emit noted(Event{n, where.bank, where.preset, count, std::move(banks)});
}

bool TransferPlan::start()
{
    if (running())
        return false;
    // A new transfer: every count and the backup start afresh.
    written = 0;
    sentTo = 0;
    writeSent.assign(PresetCount, false);
    declined.assign(PresetCount, false);
    repeats = 0;
    mustReread = false;
    resyncing = false;
    stopRequested = false;
    backupPath.clear();
    backupWhy.clear();
    backupFromOldReading = false;
    unvouched.clear();
    unguarded = false;
    begin(true);
    return true;
}

void TransferPlan::begin(bool fresh)
{
    reason = StopReason::None;
    if (!fresh && backupSaved())
        backupFromOldReading = true;
    // A Stop pressed while the fence before this reading was out still holds (ask ends it).
    mustReread = false;
    toWrite.clear();
    writeIndex = 0;
    held = TransferBanks();
    contentAt.clear();
    repeated.clear();
    repeatedFlag.assign(PresetCount, false);
    readOrder.clear();
    for (int position = firstBank() * PresetsPerBank; position < PresetCount; ++position)
        if (isChosen(position))
            readOrder.push_back(position);
    planReads();
    readIndex = 0;
    readDone = 0;
    link.setGuarded(true);
    note(fresh ? Note::Started : Note::Restarted, exporting ? 1 : 0);
    emit progressChanged(0, readTotal());
    if (readOrder.empty()) {
        at = Position{firstBank(), 0};
        startChecks(exporting);
        return;
    }
    at = Position::of(scanOrder.front());
    current = State::Reading;
    ask(RequestLink::Ask::Read, at);
}

void TransferPlan::planReads()
{
    // A stray reply that stands in for a lost one repeats a preset the module holds. Where
    // the run reads every preset, the repeat shows; where reading the rest would cost more
    // than reading the chosen ones twice, the second read shows it.
    const std::size_t others = std::size_t(PresetCount) - readOrder.size();
    readTwice = everythingTwice || others > readOrder.size();
    scanOrder.clear();
    if (readTwice) {
        scanOrder = readOrder;
        return;
    }
    for (int position = 0; position < PresetCount; ++position)
        scanOrder.push_back(position);
}

bool TransferPlan::isChosen(int position) const
{
    return !chosen || chosen->isSelected(position / PresetsPerBank, position % PresetsPerBank);
}

void TransferPlan::keepChanges(const std::vector<bool> &positions)
{
    if (current != State::Confirming)
        return;
    std::vector<int> kept;
    for (int position : toWrite) {
        if (std::size_t(position) < positions.size() && positions[std::size_t(position)]) {
            kept.push_back(position);
            continue;
        }
        // Left as the module holds it: the final checks expect that there.
        declined[std::size_t(position)] = true;
        images.at(position / PresetsPerBank, position % PresetsPerBank) =
            held.at(position / PresetsPerBank, position % PresetsPerBank);
    }
    toWrite = std::move(kept);
    if (!toWrite.empty())
        at = Position::of(toWrite.front());
}

void TransferPlan::ask(RequestLink::Ask what, Position where)
{
    if (stopRequested) {
        end(StopReason::ByUser, where);
        return;
    }
    if (what == RequestLink::Ask::Write)
        link.send(RequestLink::Request{what, where.bank, where.preset},
                  Sysex::toModule(where.bank, images.at(where.bank, where.preset)));
    else
        link.send(RequestLink::Request{what, where.bank, where.preset});
}

void TransferPlan::stop()
{
    if (!running() || stopRequested)
        return;
    if (current == State::Confirming) {
        cancelWrite();
        return;
    }
    stopRequested = true;
    link.stopResending();
    note(Note::StopPressed);
}

bool TransferPlan::canRetry() const
{
    return current == State::Stopped && reason != StopReason::Cancelled;
}

bool TransferPlan::retry()
{
    if (!canRetry())
        return false;
    if (mustReread) {
        // Nothing read in this run can be trusted: read it all again, after a fence that lets
        // replies still on their way arrive unused. What was written and the backup taken
        // before those writes still count. The fact stays until the new reading begins, so
        // a Retry after this fence went unanswered or was stopped comes here again.
        reason = StopReason::None;
        stopRequested = false;
        resyncing = true;
        link.setGuarded(false);
        current = State::Settling;
        ask(RequestLink::Ask::Identify, at);
        return true;
    }
    reason = StopReason::None;
    stopRequested = false;
    link.setGuarded(true);
    current = stateBeforeStop;
    note(Note::Resumed, 0, stoppedAt);
    switch (current) {
    case State::Reading:
        ask(RequestLink::Ask::Read, at);
        break;
    case State::Writing:
        // A new pass: the preset gets its full count of tries again.
        writeAt(writeIndex);
        break;
    case State::Checking:
        checkNext();
        break;
    default:
        settle();
        break;
    }
    return true;
}

void TransferPlan::onAnswered(const RequestLink::Request &request, Sysex::ReplyKind kind,
                              const PresetImage *image)
{
    if (!running())
        return;
    switch (current) {
    case State::Reading: {
        if (kind != Sysex::ReplyKind::PresetData || !image)
            return;
        const int position = at.bank * PresetsPerBank + at.preset;
        scanned.at(at.bank, at.preset) = *image;
        if (at.bank >= firstBank() && isChosen(position))
            (exporting ? held : images).at(at.bank, at.preset) = Sysex::fromModule(request.bank, *image);
        noteContent(position, *image);
        readNext();
        return;
    }
    case State::Checking: {
        if (kind != Sysex::ReplyKind::PresetData || !image)
            return;
        const auto [b, p] = checks[checkAt];
        if (checkingReads() ? *image != scanned.at(b, p) : Sysex::fromModule(b, *image) != images.at(b, p)) {
            end(StopReason::OutOfStep, Position{b, p}, true);
            return;
        }
        ++checkAt;
        checkNext();
        return;
    }
    case State::Settling:
        if (kind == Sysex::ReplyKind::Identity)
            afterSettling();
        return;
    case State::Writing:
        if (kind == Sysex::ReplyKind::WriteAck) {
            const int position = at.bank * PresetsPerBank + at.preset;
            if (!writeSent[position]) {
                writeSent[position] = true;
                ++sentTo;
            }
            // Read back what was just written.
            ask(RequestLink::Ask::Read, at);
            return;
        }
        if (kind != Sysex::ReplyKind::PresetData || !image)
            return;
        if (Sysex::fromModule(at.bank, *image) == images.at(at.bank, at.preset)) {
            ++written;
            emit progressChanged(written, changeCount());
            if (writeIndex + 1 < toWrite.size())
                writeAt(writeIndex + 1);
            else
                startChecks(false);
            return;
        }
        if (writesOfThis >= MaxWrites) {
            end(StopReason::WriteRefused, at);
            return;
        }
        ++repeats;
        note(Note::WriteRepeated, writesOfThis + 1, at);
        writeAt(writeIndex, true);
        return;
    default:
        return;
    }
}

void TransferPlan::onUnanswered(const RequestLink::Request &request, bool onlyDamaged)
{
    if (!running())
        return;
    const Position where{std::min(request.bank, BankCount - 1), request.preset};
    unansweredFence = request.ask == RequestLink::Ask::Identify;
    if (stopRequested)
        end(StopReason::ByUser, where);
    else
        end(onlyDamaged ? StopReason::OnlyDamaged : StopReason::NoAnswer, where);
}

void TransferPlan::onReplyTooMany()
{
    if (running())
        end(StopReason::OutOfStep, at);
}

void TransferPlan::portLost()
{
    if (running())
        end(StopReason::PortGone, at);
    if (current == State::Stopped)
        mustReread = true;
}

void TransferPlan::endByDisconnect()
{
    if (current == State::Confirming)
        cancelWrite();
    else if (running())
        end(StopReason::ByUser, at);
}

void TransferPlan::abandon()
{
    if (!running())
        return;
    link.setGuarded(false);
    current = State::Idle;
}

void TransferPlan::readNext()
{
    ++readIndex;
    readDone = int(readIndex);
    const int next = scanOrder[std::min(readIndex, scanOrder.size() - 1)];
    at = Position::of(next);
    emit progressChanged(readDone, readTotal());
    if (readIndex < scanOrder.size()) {
        ask(RequestLink::Ask::Read, at);
        return;
    }
    // An export checks what it read before deciding on writes and saving it as the backup.
    if (exporting)
        computeTargets();
    startChecks(exporting);
}

void TransferPlan::startChecks(bool againstModule)
{
    current = State::Checking;
    checkingHeld = againstModule;
    checks.clear();
    // Over the reads in the order made, those before the first bank included, so that a
    // bank's first preset can be picked too (the one a shift through the bank before lands on).
    const std::vector<int> &order = checkingReads() ? scanOrder : readOrder;
    const std::vector<int> picked =
        pickChecks(checkingReads() ? scanned : images, order, firstBank(), random);
    std::vector<bool> read(BankCount, false);
    for (int position : order)
        read[std::size_t(position / PresetsPerBank)] = true;
    std::vector<int> alike; // a bank nothing was read in is not one of them
    for (int b = firstBank(); b < BankCount; ++b) {
        if (picked[b - firstBank()] >= 0)
            checks.emplace_back(b, picked[b - firstBank()]);
        else if (read[std::size_t(b)])
            alike.push_back(b);
    }
    // The first pass also reads again what repeats, or each chosen preset.
    if (checkingReads())
        addRereads(checks);
    checkAt = 0;
    note(Note::ChecksStarted, checkingReads() && readTwice ? int(readOrder.size()) : 0, at, alike);
    checkNext();
}

std::vector<int> TransferPlan::pickChecks(const TransferBanks &content, int firstBank, std::mt19937 &random)
{
    std::vector<int> order;
    for (int position = firstBank * PresetsPerBank; position < PresetCount; ++position)
        order.push_back(position);
    return pickChecks(content, order, firstBank, random);
}

std::vector<int> TransferPlan::pickChecks(const TransferBanks &content, const std::vector<int> &order,
                                          int firstBank, std::mt19937 &random)
{
    std::vector<int> picked;
    const PresetImage *lastChecked = nullptr;
    std::size_t i = 0;
    while (i < order.size() && order[i] / PresetsPerBank < firstBank)
        ++i;
    for (int b = firstBank; b < BankCount; ++b) {
        std::vector<int> differing; // from the preset read just before
        std::vector<int> better;    // from the check before, too
        for (; i < order.size() && order[i] / PresetsPerBank == b; ++i) {
            if (i == 0)
                continue; // nothing was read before it
            const int p = order[i] % PresetsPerBank;
            const PresetImage &here = content.at(b, p);
            const PresetImage &before =
                content.at(order[i - 1] / PresetsPerBank, order[i - 1] % PresetsPerBank);
            if (here == before)
                continue;
            differing.push_back(p);
            if (!lastChecked || here != *lastChecked)
                better.push_back(p);
        }
        const std::vector<int> &from = better.empty() ? differing : better;
        if (from.empty()) {
            picked.push_back(-1);
            continue;
        }
        const int p = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        picked.push_back(p);
        lastChecked = &content.at(b, p);
    }
    return picked;
}

void TransferPlan::noteContent(int position, const PresetImage &content)
{
    // `content` as the module sent it: a stray reply from the factory bank, or taken for it,
    // must match before the category offset.
    // FNV-1a over 64-bit words: cheap enough to run on every reply.
    quint64 hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < content.size(); i += 8) {
        quint64 word;
        std::memcpy(&word, content.data() + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    const auto [it, fresh] = contentAt.emplace(hash, position);
    if (fresh || it->second == position)
        return;
    const int first = it->second;
    if (scanned.at(first / PresetsPerBank, first % PresetsPerBank) != content)
        return; // another content with the same hash
    // A stray reply (doubled, late or unasked) carries content read before; a module that
    // holds the same preset twice reads the same both times again.
    for (int p : {first, position})
        if (!repeatedFlag[std::size_t(p)]) {
            repeatedFlag[std::size_t(p)] = true;
            repeated.push_back(p);
        }
}

void TransferPlan::addRereads(std::vector<std::pair<int, int>> &list) const
{
    std::vector<bool> listed(PresetCount, false);
    for (const auto &[b, p] : list)
        listed[std::size_t(b * PresetsPerBank + p)] = true;
    auto add = [&](int position) {
        if (listed[std::size_t(position)])
            return;
        listed[std::size_t(position)] = true;
        list.emplace_back(position / PresetsPerBank, position % PresetsPerBank);
    };
    // Every preset whose content repeats another's is read again, also one read only to
    // check (the factory bank in an export, the presets left out of a choice): a stray taken
    // there moves the reply it stood in for onto the next position, a chosen one whose
    // content then repeats nothing. That next chosen preset is read again too.
    std::vector<std::size_t> indexOf(PresetCount, scanOrder.size());
    for (std::size_t i = 0; i < scanOrder.size(); ++i)
        indexOf[std::size_t(scanOrder[i])] = i;
    for (int position : repeated) {
        add(position);
        if (position >= firstBank() * PresetsPerBank && isChosen(position))
            continue;
        for (std::size_t i = indexOf[std::size_t(position)] + 1; i < scanOrder.size(); ++i)
            if (scanOrder[i] >= firstBank() * PresetsPerBank && isChosen(scanOrder[i])) {
                add(scanOrder[i]);
                break;
            }
    }
    if (readTwice)
        for (int position : readOrder)
            add(position);
}

void TransferPlan::checkNext()
{
    if (checkAt >= checks.size()) {
        settle();
        return;
    }
    at = Position{checks[checkAt].first, checks[checkAt].second};
    ask(RequestLink::Ask::Read, at);
}

void TransferPlan::settle()
{
    current = State::Settling;
    ask(RequestLink::Ask::Identify, at);
}

void TransferPlan::afterSettling()
{
    // Every reply sent before the fence's answer has arrived, and none was too many.
    if (stopRequested) {
        end(StopReason::ByUser, at);
        return;
    }
    if (resyncing) {
        resyncing = false;
        begin(false);
        return;
    }
    if (checkingHeld)
        decideWrites();
    else
        complete();
}

void TransferPlan::computeTargets()
{
    for (int position : readOrder) {
        const int b = position / PresetsPerBank;
        const int p = position % PresetsPerBank;
        if (declined[std::size_t(position)])
            images.at(b, p) = held.at(b, p);
        else if (document)
            // A text the document got back from a preset file is the module's unchanged.
            recordOverImage(document->at(b, p), held.at(b, p).data(), images.at(b, p).data(),
                            presetFileKeeps);
    }
}

void TransferPlan::decideWrites()
{
    toWrite.clear();
    for (int position : readOrder) {
        const int b = position / PresetsPerBank;
        const int p = position % PresetsPerBank;
        if (held.at(b, p) != images.at(b, p))
            toWrite.push_back(position);
    }
    note(Note::Differing, changeCount());
    if (toWrite.empty()) {
        startChecks(false);
        return;
    }
    at = Position::of(toWrite.front());
    current = State::Confirming;
    unguarded = false;
    // After a restart the backup is made again from this reading, which passed its checks;
    // only what was written before the stop keeps the original the first backup holds.
    if ((!backupSaved() || backupFromOldReading) && backupWriter) {
        TransferBanks content = held;
        if (backupSaved())
            for (int position = 0; position < PresetCount; ++position)
                if (writeSent[std::size_t(position)])
                    content.at(position / PresetsPerBank, position % PresetsPerBank) =
                        backedUp.at(position / PresetsPerBank, position % PresetsPerBank);
        QString why;
        QString name = backupTarget;
        if (backupWriter(content, name, why)) {
            backupPath = name;
            backupWhy.clear();
            backedUp = content;
            backupFromOldReading = false;
            note(Note::BackupSaved);
        } else {
            // The earlier backup stays: what it holds of the written presets is all there is.
            backupWhy = why;
            note(Note::BackupFailed);
        }
    }
    emit confirmationNeeded(changeCount());
}

bool TransferPlan::confirmWrite()
{
    if (current != State::Confirming || (!backupSaved() && !unguarded))
        return false;
    startWriting();
    return true;
}

bool TransferPlan::writeWithoutBackup()
{
    if (current != State::Confirming)
        return false;
    unguarded = !backupSaved();
    startWriting();
    return true;
}

void TransferPlan::cancelWrite()
{
    if (current == State::Confirming)
        end(StopReason::Cancelled, at);
}

void TransferPlan::startWriting()
{
    // Every change was left out: nothing to write, only the final checks.
    if (toWrite.empty()) {
        startChecks(false);
        return;
    }
    current = State::Writing;
    note(Note::WritingStarted, changeCount());
    emit progressChanged(0, changeCount());
    writeAt(0);
}

void TransferPlan::writeAt(std::size_t index, bool anotherTry)
{
    if (!anotherTry)
        writesOfThis = 0;
    writeIndex = index;
    at = Position::of(toWrite[index]);
    ++writesOfThis;
    ask(RequestLink::Ask::Write, at);
}

void TransferPlan::complete()
{
    link.setGuarded(false);
    current = State::Done;
    at = Position{0, 0};
    // A write that went out before a stop and was found in place on the reading after
    // it counts as written.
    note(Note::Completed, presetsWritten());
    emit completed();
}

void TransferPlan::end(StopReason why, Position where, bool atCheck)
{
    resyncing = false;
    if (why == StopReason::OutOfStep)
        mustReread = true;
    if (current == State::Writing && link.current().ask == RequestLink::Ask::Write && link.sends() > 0) {
        // The write in flight may have reached the module.
        const int position = link.current().bank * PresetsPerBank + link.current().preset;
        if (!writeSent[std::size_t(position)]) {
            writeSent[std::size_t(position)] = true;
            ++sentTo;
        }
    }
    checkFailed = atCheck;
    fenceUnanswered = std::exchange(unansweredFence, false);
    // A check that reads differently after the backup was taken puts the reading it came
    // from in doubt: the originals of what was overwritten since cannot be vouched for.
    if (why == StopReason::OutOfStep && atCheck && backupSaved())
        for (int position = 0; position < PresetCount; ++position)
            if (writeSent[std::size_t(position)] &&
                std::find(unvouched.begin(), unvouched.end(), position) == unvouched.end())
                unvouched.push_back(position);
    link.abandon();
    link.setGuarded(false);
    stateBeforeStop = current;
    current = State::Stopped;
    stopRequested = false;
    reason = why;
    stoppedAt = where;
    emit stopped(why);
}

int TransferPlan::requestsLeft() const
{
    const int checksLeft = int(checks.size() - std::min(checkAt, checks.size()));
    switch (current) {
    case State::Reading:
        return int(scanOrder.size() - std::min(readIndex, scanOrder.size())) + (BankCount - firstBank()) +
               (readTwice ? int(readOrder.size()) : 0) + 1;
    case State::Checking:
        return checksLeft + 1;
    case State::Writing:
        // A write and its read-back each, then the checks and the fence.
        return 2 * int(toWrite.size() - writeIndex) + (BankCount - firstBank()) + 1;
    case State::Settling:
        return 1;
    default:
        return 0;
    }
}
