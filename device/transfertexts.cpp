#include "device/transfertexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTime>

namespace TransferTexts {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("MidiTransfer", text);
}

QString requestText(const RequestLink::Request &request)
{
    switch (request.ask) {
    case RequestLink::Ask::Identify:
        return tr("the identify request");
    case RequestLink::Ask::Read:
        return tr("the request for %1").arg(where(request.bank, request.preset));
    case RequestLink::Ask::Write:
        return tr("the write of %1").arg(where(request.bank, request.preset));
    }
    return QString();
}

// The time of day `ms` from now, as a log line says when a wait ends.
QString clockIn(int ms)
{
    return QTime::currentTime().addMSecs(std::max(0, ms)).toString(QStringLiteral("HH:mm:ss"));
}

QString writtenText(const TransferPlan &plan)
{
    const int written = plan.writtenCount();
    QString text = written == 1 ? tr("1 preset was written and read back right.")
                                : tr("%1 presets were written and read back right.").arg(written);
    // A write that went out without its read-back may have changed the module all the same.
    // The preset that refused its writes is named already.
    const int unread = plan.writesSentCount() - written -
                       (plan.stopReason() == TransferPlan::StopReason::WriteRefused ? 1 : 0);
    if (unread == 1)
        text += QLatin1Char(' ') + tr("The write of 1 more preset went out but was not read back.");
    else if (unread > 1)
        text += QLatin1Char(' ') +
                tr("The writes of %1 more presets went out but were not read back.").arg(unread);
    return text;
}

} // namespace

QString where(int bank, int preset)
{
    return tr("bank %1, preset %2").arg(bank + 1).arg(preset + 1);
}

QString linkNote(RequestLink::Note note, const RequestLink &link)
{
    const RequestLink::Request &request = link.current();
    switch (note) {
    case RequestLink::Note::Resending:
        return tr("No answer to %1 within %2 s; sending it again (%3 of %4).")
                   .arg(requestText(request))
                   .arg(link.quietTime() / 1000.0, 0, 'f', 1)
                   .arg(link.sends() - 1)
                   .arg(link.resends()) +
               QLatin1Char(' ') + tr("Waiting for its answer until %1.").arg(clockIn(link.msUntilNextStep()));
    case RequestLink::Note::Holding:
        return tr("Waiting until %1 for late replies before %2.")
            .arg(clockIn(link.msUntilNextStep()), requestText(request));
    case RequestLink::Note::LateDropped:
        return tr("A late reply was dropped.");
    case RequestLink::Note::Damaged:
        return tr("Damaged preset data for %1 was dropped.").arg(where(request.bank, request.preset));
    case RequestLink::Note::Foreign:
        return tr("A message for another device was ignored.");
    case RequestLink::Note::Unexpected:
        return tr("An unexpected reply was ignored.");
    case RequestLink::Note::Unasked:
        return tr("A reply nobody asked for was ignored.");
    }
    return QString();
}

QString planNote(const TransferPlan &plan, const TransferPlan::Event &event, Purpose purpose)
{
    using Note = TransferPlan::Note;
    switch (event.note) {
    case Note::Started:
        if (plan.readsEverythingTwice())
            return tr("Reading every chosen preset twice (%1), as Read everything twice asks.")
                .arg(plan.chosenCount());
        if (plan.readsTwice())
            return tr("Reading the chosen presets (%1), each twice to check the replies.")
                .arg(plan.chosenCount());
        if (plan.chosenCount() < PresetCount - (plan.exportMode() ? PresetsPerBank : 0))
            return tr("Reading the whole module to check the replies; the chosen presets (%1) are kept.")
                .arg(plan.chosenCount());
        return plan.exportMode() ? tr("Reading banks 1–%1 from the module; bank 1 only to check the replies.")
                                       .arg(BankCount)
                                 : tr("Importing banks 1–%1.").arg(BankCount);
    case Note::Restarted:
        return tr("Starting the transfer again.");
    case Note::Resumed:
        return tr("Going on from %1.").arg(where(event.bank, event.preset));
    case Note::StopPressed:
        return tr("Stop pressed; the transfer ends at the next reply.");
    case Note::ChecksStarted: {
        QString text = tr("Checking one preset of each bank again.");
        if (event.count > 0)
            text += QLatin1Char(' ') + tr("Reading the chosen presets (%1) a second time.").arg(event.count);
        if (!event.banks.empty()) {
            QStringList numbers;
            for (int b : event.banks)
                numbers << QString::number(b + 1);
            text +=
                QLatin1Char(' ') +
                tr("Not in banks %1: their presets are all alike, so replies out of step cannot change them.")
                    .arg(numbers.join(QStringLiteral(", ")));
        }
        return text;
    }
    case Note::Differing:
        return tr("Presets that differ from the module: %1.").arg(event.count);
    case Note::BackupSaved:
        return tr("What the module held is saved in %1.").arg(QDir::toNativeSeparators(plan.backupFile()));
    case Note::BackupFailed:
        return tr("No backup could be saved: %1").arg(plan.backupError());
    case Note::WritingStarted:
        return plan.withoutBackup()
                   ? tr("Writing the presets that differ, without a backup: %1.").arg(event.count)
                   : tr("Writing the presets that differ: %1.").arg(event.count);
    case Note::WriteRepeated:
        return tr("Bank %1, preset %2 read back different; writing it again (%3 of %4).")
            .arg(event.bank + 1)
            .arg(event.preset + 1)
            .arg(event.count)
            .arg(TransferPlan::MaxWrites);
    case Note::Completed:
        if (purpose == Purpose::Restore)
            return tr("Restore done. Presets written: %1.").arg(event.count);
        if (purpose == Purpose::ReadToCompare)
            return tr("Read done.");
        return plan.exportMode() ? tr("Export done. Presets written: %1.").arg(event.count)
                                 : tr("Import done.");
    }
    return QString();
}

QString stopMessage(const TransferPlan &plan, bool retryOffered)
{
    using Reason = TransferPlan::StopReason;
    const QString at = where(plan.stopBank(), plan.stopPreset());
    QString text;
    switch (plan.stopReason()) {
    case Reason::None:
        return QString();
    case Reason::Cancelled:
        // Asked again after a Retry that read everything anew: the first run may have written.
        if (plan.writesSentCount() == 0)
            return tr("Nothing was written to the module.");
        return tr("Nothing more was written to the module.") + QLatin1Char(' ') + writtenText(plan);
    case Reason::ByUser:
        text = plan.stoppedAtFence() ? tr("Stopped at the check that closes the reading.")
                                     : tr("Stopped at %1.").arg(at);
        break;
    case Reason::NoAnswer:
        text = plan.stoppedAtFence() ? tr("The module did not answer the check that closes the reading.")
                                     : tr("The module stopped answering at %1.").arg(at);
        break;
    case Reason::OnlyDamaged:
        text = tr("The module sent only damaged replies at %1.").arg(at);
        break;
    case Reason::PortGone:
        text =
            retryOffered
                ? tr("The MIDI connection went away at %1; Retry opens the ports again when they are back.")
                      .arg(at)
                : tr("The MIDI connection went away at %1.").arg(at);
        break;
    case Reason::WriteRefused:
        text = tr("Bank %1, preset %2 did not take the write %3 times and may now hold a damaged preset.")
                   .arg(plan.stopBank() + 1)
                   .arg(plan.stopPreset() + 1)
                   .arg(TransferPlan::MaxWrites);
        break;
    case Reason::OutOfStep:
        text = plan.outOfStepAtCheck()
                   ? tr("The module's replies went out of step: %1 read differently the second time.").arg(at)
                   : tr("The module's replies went out of step: it sent preset data nobody asked for.");
        if (!plan.exportMode())
            return text + QLatin1Char(' ') + tr("Nothing was imported.");
        if (plan.writesSentCount() == 0)
            return text + QLatin1Char(' ') + tr("Nothing was written.");
        text += QLatin1Char(' ') + tr("Export again to be sure of what the module holds.");
        break;
    }
    if (!plan.exportMode())
        return text;
    // Before any write there is nothing to say about writes.
    if (plan.writesSentCount() > 0 || plan.stopReason() == Reason::WriteRefused)
        text += QLatin1Char(' ') + writtenText(plan);
    const std::vector<int> &doubtful = plan.unvouchedOriginals();
    if (!doubtful.empty()) {
        QStringList names;
        for (std::size_t i = 0; i < doubtful.size() && i < 5; ++i)
            names << where(doubtful[i] / PresetsPerBank, doubtful[i] % PresetsPerBank);
        if (doubtful.size() > 5)
            names << tr("%1 more").arg(doubtful.size() - 5);
        text += QLatin1Char(' ') +
                tr("The backup's originals of %1 come from a reading that a later check put in doubt.")
                    .arg(names.join(QStringLiteral("; ")));
    }
    if (plan.backupSaved())
        text +=
            QLatin1Char(' ') +
            tr("What the module held before is saved in %1.").arg(QFileInfo(plan.backupFile()).fileName());
    return text;
}

QString afterRetry(int attempt, TransferPlan::StopReason reason, const QString &stopMessage)
{
    using Reason = TransferPlan::StopReason;
    if (attempt <= 0)
        return stopMessage;
    QString head;
    if (reason == Reason::NoAnswer)
        head = tr("Retry %1: still no answer.").arg(attempt);
    else if (reason == Reason::OnlyDamaged)
        head = tr("Retry %1: still only damaged replies.").arg(attempt);
    else
        head = tr("Retry %1:").arg(attempt);
    return head + QLatin1Char(' ') + stopMessage;
}

QString statusText(const TransferPlan &plan, const RequestLink &link, int secondsLeft)
{
    using State = TransferPlan::State;
    QString text;
    switch (plan.state()) {
    case State::Writing:
        text = tr("Writing %1 of %2: bank %3, preset %4")
                   .arg(std::min(plan.writtenCount() + 1, plan.changeCount()))
                   .arg(plan.changeCount())
                   .arg(plan.bank() + 1)
                   .arg(plan.preset() + 1);
        break;
    case State::Checking:
        text = tr("Checking bank %1 again").arg(plan.bank() + 1);
        break;
    case State::Settling:
        text = tr("Making sure no reply is left over");
        break;
    default:
        text =
            tr("Bank %1 · preset %2 of %3").arg(plan.bank() + 1).arg(plan.preset() + 1).arg(PresetsPerBank);
        break;
    }
    // A wait says what it waits for and how long, so a bar that does not move is explained.
    const int seconds = (std::max(0, link.msUntilNextStep()) + 999) / 1000;
    if (link.holdingBack())
        return text + QStringLiteral(" · ") +
               tr("waiting %1 s for late replies before %2").arg(seconds).arg(requestText(link.current()));
    if (link.waiting() && link.sends() > 1) {
        const RequestLink::Request &request = link.current();
        const QString who = request.ask == RequestLink::Ask::Identify ? tr("the module")
                                                                      : where(request.bank, request.preset);
        if (link.sends() > link.resends())
            return text + QStringLiteral(" · ") +
                   tr("%1 did not answer; giving up in %2 s unless it does").arg(who).arg(seconds);
        return text + QStringLiteral(" · ") +
               tr("%1 did not answer; asking again in %2 s (%3 of %4)")
                   .arg(who)
                   .arg(seconds)
                   .arg(link.sends())
                   .arg(link.resends());
    }
    // Below a second there is nothing worth saying; a silent module shows the line above.
    if (secondsLeft >= 1)
        text +=
            tr(" · about %1:%2 left").arg(secondsLeft / 60).arg(secondsLeft % 60, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace TransferTexts
