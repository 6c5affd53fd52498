#include "model/bankstore.h"

#include "model/selectionmask.h"

void BankStore::imageToRecord(int bank, int preset, const uint8_t *image)
{
    ::imageToRecord(image, at(bank, preset));
}

void BankStore::recordToImage(int bank, int preset, uint8_t *image) const
{
    ::recordToImage(at(bank, preset), image);
}

void BankStore::fillEmptyBanks()
{
    const PresetImage zero{};
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            imageToRecord(b, p, zero.data());
}

void BankStore::toDump(uint8_t *dump) const
{
    for (int i = 0; i < PresetCount; ++i)
        ::recordToImage(records[i], dump + i * 256);
}

void BankStore::fromDump(const uint8_t *dump)
{
    for (int i = 0; i < PresetCount; ++i)
        ::imageToRecord(dump + i * 256, records[i]);
}

void BankStore::snapshotFrom(const BankStore &live, const SelectionMask &selection)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = at(b, p);
            r.copyContentFrom(live.at(b, p));
            r.mark = selection.isSelected(b, p);
        }
}

void BankStore::clearMarks()
{
    for (PresetRecord &r : records)
        r.mark = false;
}
