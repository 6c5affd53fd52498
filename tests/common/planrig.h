#pragma once

#include "common/scriptedmidibackend.h"
#include "device/requestlink.h"
#include "device/transferplan.h"

#include <QTest>

#include <functional>

// The plan over a link that sends nowhere; `answer` plays the module from `module`.
struct PlanRig
{
    SysexProtocol sysex{std::make_shared<ScriptedMidiBackend>(1, 1)};
    RequestLink link{sysex};
    TransferPlan plan{link};
    TransferBanks module;
    int refusedWrites = 0; // the next N writes read back wrong

    PlanRig()
    {
        link.setQuietTime(60000); // the test answers, never the clock
        module = TransferBanks();
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                module.at(b, p)[0] = uint8_t(b * 7 + p); // neighbours differ
    }
    // Answers the waiting request as the module would.
    void answer()
    {
        const RequestLink::Request r = link.current();
        PresetImage image;
        switch (r.ask) {
        case RequestLink::Ask::Identify:
            plan.onAnswered(r, Sysex::ReplyKind::Identity, nullptr);
            return;
        case RequestLink::Ask::Write:
            module.at(r.bank, r.preset) = plan.banks().at(r.bank, r.preset);
            if (refusedWrites > 0) {
                --refusedWrites;
                module.at(r.bank, r.preset)[1] ^= 1;
            }
            plan.onAnswered(r, Sysex::ReplyKind::WriteAck, nullptr);
            return;
        case RequestLink::Ask::Read:
            image = Sysex::toModule(r.bank, module.at(r.bank, r.preset));
            plan.onAnswered(r, Sysex::ReplyKind::PresetData, &image);
            return;
        }
    }
    // Answers until the plan asks, stops or ends, or `until` holds.
    void runUntil(const std::function<bool()> &until = [] { return false; })
    {
        while (plan.running() && plan.state() != TransferPlan::State::Confirming && !until())
            answer();
    }
    void exportWithChanges(int count)
    {
        plan.banks() = module;
        for (int i = 0; i < count; ++i)
            plan.banks().at(2 + i, 5)[0] ^= 0x40;
        plan.setExportMode(true);
        QVERIFY(plan.start());
        runUntil();
    }
};
