#pragma once

#include "device/transferbanks.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// A stand-in for the module: answers identify, preset request and preset write as the
// module does, stores 2048 images (the factory bank in the module's own category
// numbering, two lower than the program's; it refuses writes there, as the module keeps
// its factory sounds) and misbehaves on request.
class ModuleSimulator
{
public:
    static constexpr int DinByteRate = 3125; // 31,250 baud, 10 bits a byte

    // One fault tied to one request, for schedules of several faults of any kind.
    // Stray: an unasked PresetData of content the module stores nowhere (an edit buffer sent
    // by a button pressed on the module).
    enum class FaultKind { Drop, Double, Late, Unasked, Damaged, Stray };
    // What `request` counts: every request, or (for faults placed at a seam) the first read of
    // position `request`, the `request`-th identify request or the `request`-th write.
    enum class Anchor { Request, FirstRead, Identify, Write };
    struct ScheduledFault
    {
        FaultKind kind = FaultKind::Drop;
        int request = 0;                // counted from 1 over every request received
        int delayMs = 0;                // Late: how late every reply to it leaves
        int position = PresetCount - 1; // Unasked: the stored preset it carries, bank * 128 + preset
        Anchor anchor = Anchor::Request;
        int after = 0; // the fault hits this many requests after its anchor
    };
    // The image a Stray carries.
    static PresetImage strayImage();

    struct Faults
    {
        int dropReplies = 0;     // the next N replies are never sent
        int wrongLengthData = 0; // the next N PresetData replies have wrongLength bytes
        int wrongLength = 330;
        int badWrites = 0;       // the next N writes store a slightly different image
        int foreignMessages = 0; // each of the next N replies is preceded by one for another module
        int garbageMessages = 0; // each of the next N replies is preceded by random bytes
        // Faults tied to one request, counted from 1 over every request received
        // (identify, preset request, write); 0 for none.
        int dropReplyTo = 0; // the reply to request N is never sent
        int lateReplyTo = 0; // the reply to request N leaves lateByMs late
        int lateByMs = 1500;
        int doubleReplyTo = 0;   // the reply to request N is sent twice
        int unaskedAfter = 0;    // a PresetData nobody asked for follows the reply to request N
        int strayAfter = 0;      // the same with content the module stores nowhere
        int silentAfter = 0;     // no reply at all once N requests were answered
        int dropIdentify = 0;    // the reply to the N-th identify request is never sent
        bool failWrites = false; // every write stores a slightly different image
        // Applied in order after the faults above: an unasked reply is one of the module's
        // presets (`position`), a damaged PresetData is one byte short (any other damaged reply loses
        // its header, so it is not recognised at all).
        std::vector<ScheduledFault> scheduled;
    };

    // One outgoing message and how long after the request it leaves.
    struct Outgoing
    {
        std::vector<uint8_t> message;
        int delayMs = 0;
    };

    struct Counts
    {
        int identifyRequests = 0;
        int presetRequests = 0;
        int presetWrites = 0;
        int ignored = 0; // messages that were not a request
        int factoryWritesRefused = 0;
        int repliesSent = 0;
        int repliesDropped = 0;
        int requests = 0; // every request: identify, preset request and write
        long long bytesIn = 0;
        long long bytesOut = 0;
        // The last request: -1 for an identify request, else bank * 128 + preset.
        int lastPosition = -2;
        bool lastWasWrite = false;
        // Per position: reads so far, and the request number of the first.
        std::vector<int> reads = std::vector<int>(PresetCount, 0);
        std::vector<int> firstReadAt = std::vector<int>(PresetCount, 0);
        std::vector<int> identifyAt; // request numbers
        std::vector<int> writeAt;
    };

    ModuleSimulator();

    // Answers one message from the host with zero or more messages, in order.
    std::vector<std::vector<uint8_t>> handle(const std::vector<uint8_t> &message);
    // The same with each message's delay (late replies).
    std::vector<Outgoing> handleTimed(const std::vector<uint8_t> &message);
    // One line describing the message, for logs.
    static QString describe(const std::vector<uint8_t> &message);

    // Images as the module stores them.
    PresetImage &image(int bank, int preset) { return stored.at(bank, preset); }
    const PresetImage &image(int bank, int preset) const { return stored.at(bank, preset); }
    // All banks in the program's numbering (what an import yields), and back.
    TransferBanks programBanks() const;
    void setProgramBanks(const TransferBanks &banks);
    // The deterministic factory content of all 16 banks.
    void resetToFactory();
    static TransferBanks factoryProgramBanks();

    void setSerialNumber(uint32_t serial) { serialNumber = serial & 0x0FFFFFFF; }
    void setFirmwareVersion(uint32_t version) { firmwareVersion = version & 0x3FFF; }
    void setDeviceText(const QByteArray &text) { deviceText = text.left(16); }
    uint32_t serial() const { return serialNumber; }
    uint32_t version() const { return firmwareVersion; }
    QByteArray device() const { return deviceText; }

    // Sets faults from "name[=N],..." with the option names of orvex-simulator (drop-reply,
    // late-reply, late-by, double-reply, unasked-after, silent-after, drop-identify, fail-writes,
    // wrong-length, bad-writes, drop, foreign, garbage). False, with the offending item, for anything else.
    bool applyFaults(const QString &faultList, QString *error = nullptr);
    // What applyFaults knows, for messages.
    static QStringList faultNames();
    Faults &faults() { return pending; }
    const Faults &faults() const { return pending; }
    const Counts &counts() const { return counted; }
    void resetCounts() { counted = Counts(); }

private:
    void reply(std::vector<std::vector<uint8_t>> &out, std::vector<uint8_t> message);

    TransferBanks stored;
    uint32_t serialNumber = 123456789;
    uint32_t firmwareVersion = 259; // shown as 3.01
    QByteArray deviceText = QByteArrayLiteral("Orvex+ Sim");
    Faults pending;
    Counts counted;
    uint32_t noise = 0x2545F491; // state of the garbage generator
};
