// Any bytes as a preset file: the reader must neither crash nor leak, a failed read must
// leave the banks alone, the pre-scan must agree with the read, what it reads must pass the
// bounds every other reader checks, and whatever it takes
// must come back unchanged through the writer.
#include "files/presetfile.h"
#include "files/presetfilereader.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool untouched(const BankStore &store)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (store.at(b, p).mark)
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PresetFileReader reader;
    BankStore store;
    const PresetFileReader::Result result = reader.readData(bytes, &store, 0, BankCount - 1);

    PresetFileReader counter;
    if (counter.readData(bytes) != result ||
        (result == PresetFileReader::Result::Ok && counter.banks() != reader.banks()))
        std::abort(); // the pre-scan and the read disagree
    if (result == PresetFileReader::Result::Ok && !PresetFileReader::withinBounds(bytes))
        std::abort(); // a file was read that other readers' bound checks refuse
    if (result != PresetFileReader::Result::Ok) {
        if (!untouched(store))
            std::abort(); // a failed read changed presets
        return 0;
    }
    BankStore again;
    if (reader.readData(presetFileText(store, 0, BankCount - 1), &again, 0, BankCount - 1) !=
        PresetFileReader::Result::Ok)
        std::abort(); // the program can't read what it wrote
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (store.at(b, p).mark && !again.at(b, p).sameContent(store.at(b, p)))
                std::abort(); // a preset changed on its way through the writer
    return 0;
}
