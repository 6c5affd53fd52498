#include "files/sysexmessages.h"

#include <algorithm>

namespace Sysex {

namespace {

const uint8_t Address[AddressLength] = {Start, 0x00, 0x11, 0x22, 0x02};

// The ten header bytes, with room reserved for the whole message.
std::vector<uint8_t> header(Command command, std::size_t total)
{
    std::vector<uint8_t> m(total, 0x00);
    std::copy(Address, Address + AddressLength, m.begin());
    m[9] = uint8_t(command);
    m.resize(HeaderLength);
    return m;
}

bool hasAddress(const uint8_t *data, std::size_t length)
{
    return length >= std::size_t(AddressLength) && std::equal(Address, Address + AddressLength, data);
}

} // namespace

std::vector<uint8_t> identifyRequest()
{
    std::vector<uint8_t> m = header(IdentifyRequest, 11);
    m.push_back(End);
    return m;
}

std::vector<uint8_t> presetRequest(int preset, int bank)
{
    std::vector<uint8_t> m = header(PresetRequest, 13);
    m.push_back(uint8_t(preset & 0x7F));
    m.push_back(uint8_t(bank & 0x0F));
    m.push_back(End);
    return m;
}

std::vector<uint8_t> presetWrite(int preset, int bank, const PresetImage &image)
{
    std::vector<uint8_t> m = header(PresetWrite, PresetWriteLength);
    m.push_back(uint8_t(preset & 0x7F));
    m.push_back(uint8_t(bank & 0x0F));
    const std::size_t at = m.size();
    m.resize(at + PackedImageLength);
    packGroups(image.data(), m.data() + at);
    m.push_back(End);
    return m;
}

void packGroups(const uint8_t *image, uint8_t *packed)
{
    for (int g = 0; g < 64; ++g) {
        const uint8_t *in = image + g * 4;
        uint8_t *out = packed + g * 5;
        uint8_t top = 0;
        for (int i = 0; i < 4; ++i) {
            out[i] = in[i] & 0x7F;
            top |= uint8_t((in[i] >> 7) << i);
        }
        out[4] = top;
    }
}

void unpackGroups(const uint8_t *packed, uint8_t *image)
{
    for (int g = 0; g < 64; ++g) {
        const uint8_t *in = packed + g * 5;
        uint8_t *out = image + g * 4;
        for (int i = 0; i < 4; ++i)
            out[i] = (in[4] & (1 << i)) ? uint8_t(in[i] | 0x80) : in[i];
    }
}

Reply parseReply(const uint8_t *data, std::size_t length)
{
    Reply r;
    if (length == 0)
        return r;
    if (!hasAddress(data, length) || length <= 9) {
        r.foreign = data[0] == Start;
        return r;
    }
    auto byte = [&](std::size_t i) -> uint32_t { return i < length ? data[i] : 0; };
    switch (data[9]) {
    case IdentityReply: {
        r.kind = ReplyKind::Identity;
        r.identity.serialNumber = byte(5) + (byte(6) << 7) + (byte(7) << 14) + (byte(8) << 21);
        r.identity.firmwareVersion = byte(10) + (byte(11) << 7);
        for (int i = 0; i < DeviceTextLength; ++i) {
            const uint32_t c = byte(12 + i);
            if (c == 0x7F || c == 0x00)
                break;
            r.identity.deviceText.append(QChar(c));
        }
        break;
    }
    case PresetData:
        r.kind = ReplyKind::PresetData;
        // A lost byte in the middle or a merged message shows as a missing F7 or a set top bit.
        if (length == std::size_t(PresetDataLength) && data[length - 1] == End &&
            std::none_of(data + HeaderLength, data + HeaderLength + PackedImageLength,
                         [](uint8_t b) { return b & 0x80; })) {
            unpackGroups(data + HeaderLength, r.image.data());
            r.imageValid = true;
        }
        break;
    case WriteAck:
        r.kind = ReplyKind::WriteAck;
        break;
    default:
        break;
    }
    return r;
}

QString formatSerial(uint32_t serialNumber)
{
    const QString digits = QString::asprintf("%09ld", long(serialNumber));
    // A 28-bit number has at most nine digits; keep the last nine regardless.
    const QString d9 = digits.right(9);
    auto d = [&](int i) { return d9.at(i).digitValue(); };
    auto c = [](int a, int b) { return QChar('0' + (a + b) % 10); };
    QString s;
    s += d9.at(4);
    s += d9.at(7);
    s += c(d(0), d(4));
    s += QLatin1Char('-');
    s += d9.at(5);
    s += d9.at(2);
    s += c(d(1), d(5));
    s += QLatin1Char('-');
    s += d9.at(6);
    s += c(d(6), d(8));
    s += d9.at(3);
    return s;
}

QString versionText(uint32_t firmwareVersion)
{
    return QString::asprintf("%ld.%02ld", long(firmwareVersion & 0xFF), long((firmwareVersion >> 8) & 0xFF));
}

PresetImage fromModule(int bank, const PresetImage &image)
{
    PresetImage copy = image;
    if (bank == 0)
        copy[PresetImageLayout::CategoryOffset] = uint8_t(copy[PresetImageLayout::CategoryOffset] + 2);
    return copy;
}

PresetImage toModule(int bank, const PresetImage &image)
{
    PresetImage copy = image;
    if (bank == 0)
        copy[PresetImageLayout::CategoryOffset] = uint8_t(copy[PresetImageLayout::CategoryOffset] - 2);
    return copy;
}

std::optional<Request> parseRequest(const uint8_t *data, std::size_t length)
{
    if (!hasAddress(data, length) || length < std::size_t(HeaderLength))
        return std::nullopt;
    Request r;
    switch (data[9]) {
    case IdentifyRequest:
        r.command = IdentifyRequest;
        return r;
    case PresetRequest:
    case PresetWrite:
        if (length < std::size_t(HeaderLength + 2))
            return std::nullopt;
        r.command = Command(data[9]);
        r.preset = data[10] & 0x7F;
        r.bank = data[11] & 0x0F;
        if (r.command == PresetWrite && length == std::size_t(PresetWriteLength)) {
            unpackGroups(data + HeaderLength + 2, r.image.data());
            r.imageComplete = true;
        }
        return r;
    default:
        return std::nullopt;
    }
}

std::vector<uint8_t> identityReply(uint32_t serialNumber, uint32_t firmwareVersion,
                                   const QByteArray &deviceText)
{
    std::vector<uint8_t> m = header(IdentityReply, HeaderLength + 2 + DeviceTextLength + 2);
    for (int i = 0; i < 4; ++i)
        m[5 + i] = uint8_t((serialNumber >> (7 * i)) & 0x7F);
    m.push_back(uint8_t(firmwareVersion & 0x7F));
    m.push_back(uint8_t((firmwareVersion >> 7) & 0x7F));
    const int n = std::min<int>(int(deviceText.size()), DeviceTextLength);
    for (int i = 0; i < n; ++i)
        m.push_back(uint8_t(deviceText.at(i)) & 0x7F);
    if (n < DeviceTextLength)
        m.push_back(0x7F);
    m.push_back(End);
    return m;
}

std::vector<uint8_t> presetData(const PresetImage &image)
{
    std::vector<uint8_t> m = header(PresetData, PresetDataLength);
    m.resize(HeaderLength + PackedImageLength);
    packGroups(image.data(), m.data() + HeaderLength);
    m.push_back(End);
    return m;
}

std::vector<uint8_t> writeAck()
{
    std::vector<uint8_t> m = header(WriteAck, 11);
    m.push_back(End);
    return m;
}

} // namespace Sysex
