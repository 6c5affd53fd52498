#pragma once

#include "model/presetimage.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The module's SysEx messages as pure functions: building, 7-bit packing, parsing and
// the display forms of the identity. Nothing here touches a port.
namespace Sysex {

constexpr uint8_t Start = 0xF0;
constexpr uint8_t End = 0xF7;
constexpr int HeaderLength = 10; // F0, address 00 11 22 02, four zero bytes, command
constexpr int AddressLength = 5; // the bytes checked on receipt
constexpr int PackedImageLength = 320;
constexpr int PresetDataLength = HeaderLength + PackedImageLength + 1;
constexpr int PresetWriteLength = HeaderLength + 2 + PackedImageLength + 1;
constexpr int DeviceTextLength = 16;

enum Command : uint8_t {
    IdentifyRequest = 0x00,
    PresetRequest = 0x01,
    PresetWrite = 0x02,
    IdentityReply = 0x20,
    PresetData = 0x21,
    WriteAck = 0x22,
};

enum class ReplyKind { None, Identity, PresetData, WriteAck };

std::vector<uint8_t> identifyRequest();
std::vector<uint8_t> presetRequest(int preset, int bank);
std::vector<uint8_t> presetWrite(int preset, int bank, const PresetImage &image);

// 256 image bytes in 64 groups of four; each group becomes its four low 7-bit parts and
// one byte of their top bits (bit i = bit 7 of byte i).
void packGroups(const uint8_t *image, uint8_t *packed);
void unpackGroups(const uint8_t *packed, uint8_t *image);

struct Identity
{
    uint32_t serialNumber = 0;
    uint32_t firmwareVersion = 0;
    QString deviceText;
};

struct Reply
{
    ReplyKind kind = ReplyKind::None;
    Identity identity;       // for Identity
    bool imageValid = false; // for PresetData: exactly 331 bytes, 7-bit data, ending in F7
    PresetImage image{};     // for PresetData when imageValid
    bool foreign = false;    // a SysEx message addressed otherwise (another model or device)
};

// One received message of `length` bytes. Bytes past the end read as zero, as in the
// zero-filled receive buffer.
Reply parseReply(const uint8_t *data, std::size_t length);

// The serial number as the module's label shows it, "ddd-ddd-ddd".
QString formatSerial(uint32_t serialNumber);
// "major.minor" from the low and the high byte.
QString versionText(uint32_t firmwareVersion);

// The module counts the factory bank's categories two lower than the program.
PresetImage fromModule(int bank, const PresetImage &image);
PresetImage toModule(int bank, const PresetImage &image);

// The module's side, for the simulator.
struct Request
{
    Command command = IdentifyRequest;
    int preset = 0;
    int bank = 0;
    bool imageComplete = false; // a PresetWrite of exactly 333 bytes
    PresetImage image{};
};
// Empty for a message that is not a request from the host (wrong header, other command, too short).
std::optional<Request> parseRequest(const uint8_t *data, std::size_t length);
std::vector<uint8_t> identityReply(uint32_t serialNumber, uint32_t firmwareVersion,
                                   const QByteArray &deviceText);
std::vector<uint8_t> presetData(const PresetImage &image);
std::vector<uint8_t> writeAck();

} // namespace Sysex
