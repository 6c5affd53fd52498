#pragma once

#include "device/requestlink.h"
#include "device/transferplan.h"

#include <QString>

// What the dialog and orvex-pre tell the user about a transfer: log lines, the stop
// message and the running status. The rules (RequestLink, TransferPlan) only say what
// happened; the words are made here, translated in the context "MidiTransfer".
namespace TransferTexts {

// What an export or import is for, as the user started it: a restore writes a backup, a
// read for a comparison takes nothing over.
enum class Purpose { Transfer, Restore, ReadToCompare };

// "bank 4, preset 17"
QString where(int bank, int preset);
QString linkNote(RequestLink::Note note, const RequestLink &link);
QString planNote(const TransferPlan &plan, const TransferPlan::Event &event,
                 Purpose purpose = Purpose::Transfer);
// Why the transfer stopped and, for an export, what that leaves on the module. Without
// `retryOffered` (the ports are closed) it points to no Retry.
QString stopMessage(const TransferPlan &plan, bool retryOffered = true);
// A stop after the user's `attempt`-th Retry, so that it reads as a new try:
// "Retry 2: still no answer. The module stopped answering at …".
QString afterRetry(int attempt, TransferPlan::StopReason reason, const QString &stopMessage);
// "Bank 4 · preset 17 of 128 · about 1:40 left", or what the transfer waits for.
QString statusText(const TransferPlan &plan, const RequestLink &link, int secondsLeft);

} // namespace TransferTexts
