// Any bytes as a message from the module: the parser must stay inside them (bytes past
// the end read as zero) and give an answer of a known kind.
#include "files/sysexmessages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size copy, so AddressSanitizer sees any read past the message.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), data, size);
    const Sysex::Reply reply = Sysex::parseReply(copy.get(), size);
    switch (reply.kind) {
    case Sysex::ReplyKind::None:
    case Sysex::ReplyKind::Identity:
    case Sysex::ReplyKind::PresetData:
    case Sysex::ReplyKind::WriteAck:
        break;
    default:
        std::abort();
    }
    if (reply.kind != Sysex::ReplyKind::PresetData && reply.imageValid)
        std::abort();
    return 0;
}
