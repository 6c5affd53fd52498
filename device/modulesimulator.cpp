#include "device/modulesimulator.h"

#include "files/sysexmessages.h"

#include <QStringList>

#include <cstring>
#include <iterator>

namespace {

// A small deterministic generator, so the factory content never changes between runs.
struct Lcg
{
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return int(next() % uint32_t(n)); }
};

const char *const Adjectives[] = {"Warm", "Bright", "Dark",  "Vintage", "Crunchy", "Glassy", "Smooth", "Fat",
                                  "Thin", "Wide",   "Dirty", "Clean",   "Lush",    "Punchy", "Soft",   "Hot",
                                  "Cool", "Deep",   "Airy",  "Gritty",  "Silky",   "Bold"};
const char *const Nouns[] = {"Lead",  "Rhythm",  "Chime", "Stack", "Combo",  "Twang",  "Drive", "Crunch",
                             "Swell", "Pad",     "Solo",  "Chord", "Groove", "Blues",  "Burst", "Tone",
                             "Echo",  "Shimmer", "Chug",  "Quack", "Bite",   "Sparkle"};
const char *const Authors[] = {"Factory",   "M. Keller", "S. Arden", "J. Novak",  "R. Okafor",
                               "L. Brandt", "T. Ishii",  "C. Duval", "A. Moreau", "P. Lindqvist"};

void putText(PresetImage &image, int offset, const QByteArray &text)
{
    const int n = std::min<int>(int(text.size()), PresetImageLayout::TextLength);
    std::memcpy(image.data() + offset, text.constData(), size_t(n));
}

PresetImage makePreset(Lcg &rng, int bank, int preset)
{
    PresetImage image{};
    // Parameters in musical clusters rather than noise: levels, tone stack, effects.
    for (int k = 0; k < PresetImageLayout::ParamCount; ++k) {
        const int base = (k % 16) * 8;
        image[k] = uint8_t((base + rng.below(40)) & 0x7F);
    }
    // Program categories: 2..13 in the factory bank, 1..13 in the user banks.
    image[PresetImageLayout::CategoryOffset] = uint8_t(bank == 0 ? 2 + rng.below(12) : 1 + rng.below(13));
    QByteArray name = QByteArray(Adjectives[rng.below(int(std::size(Adjectives)))]) + ' ' +
                      Nouns[rng.below(int(std::size(Nouns)))];
    if (bank > 0)
        name += ' ' + QByteArray::number(bank + 1) + '.' + QByteArray::number(preset + 1);
    putText(image, PresetImageLayout::NameOffset, name);
    putText(image, PresetImageLayout::AuthorOffset,
            QByteArray(bank == 0 ? Authors[0] : Authors[1 + rng.below(int(std::size(Authors)) - 1)]));
    return image;
}

} // namespace

ModuleSimulator::ModuleSimulator()
{
    resetToFactory();
}

TransferBanks ModuleSimulator::factoryProgramBanks()
{
    TransferBanks banks;
    Lcg rng{20240611u};
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            banks.at(b, p) = makePreset(rng, b, p);
    return banks;
}

void ModuleSimulator::resetToFactory()
{
    setProgramBanks(factoryProgramBanks());
}

TransferBanks ModuleSimulator::programBanks() const
{
    TransferBanks banks;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            banks.at(b, p) = Sysex::fromModule(b, stored.at(b, p));
    return banks;
}

void ModuleSimulator::setProgramBanks(const TransferBanks &banks)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            stored.at(b, p) = Sysex::toModule(b, banks.at(b, p));
}

void ModuleSimulator::reply(std::vector<std::vector<uint8_t>> &out, std::vector<uint8_t> message)
{
    if (pending.foreignMessages > 0) {
        --pending.foreignMessages;
        std::vector<uint8_t> foreign = message;
        foreign[4] = 0x03; // another model's address
        out.push_back(std::move(foreign));
    }
    if (pending.garbageMessages > 0) {
        --pending.garbageMessages;
        std::vector<uint8_t> junk{0xF0};
        const int n = 4 + int(noise % 60);
        for (int i = 0; i < n; ++i) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            junk.push_back(uint8_t(noise & 0x7F));
        }
        junk.push_back(0xF7);
        out.push_back(std::move(junk));
    }
    if (pending.dropReplies > 0) {
        --pending.dropReplies;
        ++counted.repliesDropped;
        return;
    }
    out.push_back(std::move(message));
}

PresetImage ModuleSimulator::strayImage()
{
    PresetImage image{};
    image[PresetImageLayout::CategoryOffset] = 1;
    const char name[] = "EditBuf";
    std::copy(name, name + sizeof name - 1, image.begin() + PresetImageLayout::NameOffset);
    return image;
}

std::vector<std::vector<uint8_t>> ModuleSimulator::handle(const std::vector<uint8_t> &message)
{
    std::vector<std::vector<uint8_t>> out;
    for (Outgoing &o : handleTimed(message))
        out.push_back(std::move(o.message));
    return out;
}

std::vector<ModuleSimulator::Outgoing> ModuleSimulator::handleTimed(const std::vector<uint8_t> &message)
{
    counted.bytesIn += long(message.size());
    std::vector<std::vector<uint8_t>> out;
    const std::optional<Sysex::Request> request = Sysex::parseRequest(message.data(), message.size());
    if (!request) {
        ++counted.ignored;
        return {};
    }
    const int number = ++counted.requests;
    counted.lastWasWrite = request->command == Sysex::PresetWrite;
    counted.lastPosition =
        request->command == Sysex::IdentifyRequest
            ? -1
            : std::clamp(request->bank * PresetsPerBank + request->preset, 0, PresetCount - 1);
    if (request->command == Sysex::IdentifyRequest)
        counted.identifyAt.push_back(number);
    else if (request->command == Sysex::PresetWrite)
        counted.writeAt.push_back(number);
    else if (counted.reads[std::size_t(counted.lastPosition)]++ == 0)
        counted.firstReadAt[std::size_t(counted.lastPosition)] = number;
    switch (request->command) {
    case Sysex::IdentifyRequest:
        ++counted.identifyRequests;
        if (counted.identifyRequests == pending.dropIdentify)
            ++counted.repliesDropped;
        else
            reply(out, Sysex::identityReply(serialNumber, firmwareVersion, deviceText));
        break;
    case Sysex::PresetRequest: {
        ++counted.presetRequests;
        std::vector<uint8_t> data = Sysex::presetData(stored.at(request->bank, request->preset));
        if (pending.wrongLengthData > 0) {
            --pending.wrongLengthData;
            const std::size_t length = std::max(Sysex::HeaderLength + 1, pending.wrongLength);
            data.pop_back();
            data.resize(length - 1, 0x00);
            data.push_back(Sysex::End);
        }
        reply(out, std::move(data));
        break;
    }
    case Sysex::PresetWrite:
        ++counted.presetWrites;
        // A write of the wrong length, or one to the read-only factory bank, is acknowledged
        // but stores nothing: the read-back shows it.
        if (request->bank == 0)
            ++counted.factoryWritesRefused;
        else if (request->imageComplete) {
            PresetImage image = request->image;
            if (pending.badWrites > 0 || pending.failWrites) {
                pending.badWrites = std::max(0, pending.badWrites - 1);
                image[0] = uint8_t(image[0] ^ 0x01);
            }
            stored.at(request->bank, request->preset) = image;
        }
        reply(out, Sysex::writeAck());
        break;
    default:
        ++counted.ignored;
        break;
    }
    if (pending.silentAfter > 0 && number > pending.silentAfter)
        out.clear();
    if (number == pending.dropReplyTo && !out.empty()) {
        ++counted.repliesDropped;
        out.pop_back();
    }
    if (number == pending.doubleReplyTo && !out.empty())
        out.push_back(out.back());
    if (number == pending.unaskedAfter)
        out.push_back(Sysex::presetData(stored.at(BankCount - 1, PresetsPerBank - 1)));
    if (number == pending.strayAfter)
        out.push_back(Sysex::presetData(strayImage()));
    int delay = number == pending.lateReplyTo ? std::max(0, pending.lateByMs) : 0;
    auto anchoredAt = [this](const ScheduledFault &f) {
        auto nth = [&f](const std::vector<int> &numbers) {
            return f.request >= 1 && f.request <= int(numbers.size()) ? numbers[std::size_t(f.request - 1)]
                                                                      : 0;
        };
        switch (f.anchor) {
        case Anchor::Request:
            return f.request;
        case Anchor::FirstRead:
            return f.request >= 0 && f.request < PresetCount ? counted.firstReadAt[std::size_t(f.request)]
                                                             : 0;
        case Anchor::Identify:
            return nth(counted.identifyAt);
        case Anchor::Write:
            return nth(counted.writeAt);
        }
        return 0;
    };
    for (const ScheduledFault &f : pending.scheduled) {
        const int at = anchoredAt(f);
        if (at <= 0 || at + (f.anchor == Anchor::Request ? 0 : f.after) != number)
            continue;
        switch (f.kind) {
        case FaultKind::Drop:
            if (!out.empty()) {
                ++counted.repliesDropped;
                out.pop_back();
            }
            break;
        case FaultKind::Double:
            if (!out.empty())
                out.push_back(out.back());
            break;
        case FaultKind::Late:
            delay = std::max(delay, f.delayMs);
            break;
        case FaultKind::Unasked:
            out.push_back(
                Sysex::presetData(stored.at(std::clamp(f.position, 0, PresetCount - 1) / PresetsPerBank,
                                            std::clamp(f.position, 0, PresetCount - 1) % PresetsPerBank)));
            break;
        case FaultKind::Stray:
            out.push_back(Sysex::presetData(strayImage()));
            break;
        case FaultKind::Damaged:
            if (!out.empty()) {
                std::vector<uint8_t> &m = out.back();
                if (m.size() > std::size_t(Sysex::HeaderLength) &&
                    m[Sysex::HeaderLength - 1] == Sysex::PresetData) {
                    m.pop_back();
                    m.back() = Sysex::End;
                } else if (m.size() > 1) {
                    m[1] = 0x7E;
                }
            }
            break;
        }
    }
    std::vector<Outgoing> timed;
    for (auto &m : out) {
        ++counted.repliesSent;
        counted.bytesOut += long(m.size());
        timed.push_back(Outgoing{std::move(m), delay});
    }
    return timed;
}

QString ModuleSimulator::describe(const std::vector<uint8_t> &message)
{
    const std::optional<Sysex::Request> request = Sysex::parseRequest(message.data(), message.size());
    if (!request)
        return QStringLiteral("ignored: %1 bytes, not a request").arg(message.size());
    switch (request->command) {
    case Sysex::IdentifyRequest:
        return QStringLiteral("identify");
    case Sysex::PresetRequest:
        return QStringLiteral("request bank %1 preset %2").arg(request->bank + 1).arg(request->preset + 1);
    case Sysex::PresetWrite:
        return QStringLiteral("write bank %1 preset %2%3")
            .arg(request->bank + 1)
            .arg(request->preset + 1)
            .arg(request->bank == 0       ? QStringLiteral(" refused: the factory bank is read-only")
                 : request->imageComplete ? QString()
                                          : QStringLiteral(" (wrong length, not stored)"));
    default:
        return QStringLiteral("ignored");
    }
}

namespace {
const std::pair<const char *, int ModuleSimulator::Faults::*> CountedFaults[] = {
    {"drop-reply", &ModuleSimulator::Faults::dropReplyTo},
    {"late-reply", &ModuleSimulator::Faults::lateReplyTo},
    {"late-by", &ModuleSimulator::Faults::lateByMs},
    {"double-reply", &ModuleSimulator::Faults::doubleReplyTo},
    {"unasked-after", &ModuleSimulator::Faults::unaskedAfter},
    {"stray-after", &ModuleSimulator::Faults::strayAfter},
    {"silent-after", &ModuleSimulator::Faults::silentAfter},
    {"drop-identify", &ModuleSimulator::Faults::dropIdentify},
    {"wrong-length", &ModuleSimulator::Faults::wrongLengthData},
    {"bad-writes", &ModuleSimulator::Faults::badWrites},
    {"drop", &ModuleSimulator::Faults::dropReplies},
    {"foreign", &ModuleSimulator::Faults::foreignMessages},
    {"garbage", &ModuleSimulator::Faults::garbageMessages},
};
} // namespace

QStringList ModuleSimulator::faultNames()
{
    QStringList names;
    for (const auto &[key, member] : CountedFaults)
        names << QLatin1String(key) + QStringLiteral("=N");
    names << QStringLiteral("fail-writes");
    return names;
}

bool ModuleSimulator::applyFaults(const QString &faultList, QString *error)
{
    Faults f = pending;
    const auto &counts = CountedFaults;
    for (const QString &item : faultList.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = item.section(QLatin1Char('='), 1).trimmed();
        bool known = false;
        bool ok = value.isEmpty() && name == QLatin1String("fail-writes");
        if (ok) {
            f.failWrites = true;
            known = true;
        }
        for (const auto &[key, member] : counts)
            if (name == QLatin1String(key)) {
                known = true;
                const int n = value.toInt(&ok);
                ok = ok && n >= 0;
                if (ok)
                    f.*member = n;
            }
        if (!known || !ok) {
            if (error)
                *error = item;
            return false;
        }
    }
    pending = f;
    return true;
}
