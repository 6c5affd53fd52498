// Any bytes as a MIDI file: the reader stays inside them, and either refuses the file with
// a reason or hands on SysEx messages and nothing else.
#include "files/midifile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A deep copy, so AddressSanitizer sees any read past the file's last byte.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const MidiSysex read = readMidiBytes(bytes);
    if (read.errorText.isEmpty() == read.syx.isEmpty())
        std::abort(); // refused with SysEx kept, or nothing found without a reason
    if (!read.syx.isEmpty() && uint8_t(read.syx.at(0)) != 0xF0)
        std::abort();
    // Each message's F0 comes from the file; only a cut message adds a byte of its own.
    if (read.syx.size() > bytes.size() + read.sysexEvents)
        std::abort();
    return 0;
}
