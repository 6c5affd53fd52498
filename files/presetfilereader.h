#pragma once

#include "model/bankstore.h"

#include <QByteArray>
#include <QString>

// The value of one hex digit of a preset's parameters (either case), or -1. Shared by
// every reader of preset files so they accept exactly the same digits.
int hexDigitValue(char16_t c);

// The one rule for a preset's data, shared by every reader: exactly 256 hexadecimal
// digits (either case), nothing else. Anything else is damaged data: false, and the
// preset is not taken (`params` is then left as it was).
bool readPresetParams(QStringView text, std::array<uint8_t, 128> &params);
bool readPresetParams(QByteArrayView text, std::array<uint8_t, 128> &params);

// A preset's attributes as every reader takes them: name and author cut to
// MaxPresetTextLength, the category as a decimal number (0 when it is none). The mark is
// left alone.
void takePresetAttributes(PresetRecord &record, QStringView name, QStringView author, QStringView category);

// Checks a preset file and takes its presets in one streaming pass. Memory and time
// stay proportional to the file, whatever its structure: what a preset file never needs
// (deep nesting, many elements outside the format, many attributes, document type
// declarations beyond a few small ones, internal entities) is refused as not valid.
//
// Text is UTF-8 unless a byte order mark or an encoding declaration says otherwise; a
// file that is not valid UTF-8 and declares nothing comes from an 8-bit Windows locale
// and is read as Windows-1252.
class PresetFileReader
{
public:
    enum class Result {
        Ok,
        CantOpen,
        NotValid,      // not well-formed, too large, or past one of the bounds
        NoRoot,        // no document element
        NoPresetbanks, // document element not "presetbanks"
        NoDevice,      // no "device" child of the document element
        WrongDevice,   // the first "device" is not named "orvex+"
        TooManyBanks,  // more than 16 "bank" elements: no load could place them all
        NotRegular,    // a pipe, socket or device: never read, so never waited for
    };

    // The largest file read at all: far above what the writer can produce.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

    // Without a store only checks and counts. With one, the file's banks go in order
    // into firstBank..lastBank (cut to 0..15) once the whole file has passed every check;
    // on any failure the store is unchanged.
    Result readFile(const QString &fileName, BankStore *store = nullptr, int firstBank = 0,
                    int lastBank = -1);
    Result readData(const QByteArray &data, BankStore *store = nullptr, int firstBank = 0, int lastBank = -1);

    // The bounds on the bytes themselves, held before an XML parser sees any of them: size,
    // encoding, the prolog's declarations, the amount of markup and references, and the
    // attributes of each tag, counted in the raw text. A reader of its own (a faster path
    // over the written form) checks these too, so it takes nothing a load would refuse.
    static bool withinBounds(const QByteArray &data);
    // The same for bytes in exactly the form the program writes (valid UTF-8, no prolog, at
    // most 16 banks of 128 presets of three attributes): that form holds the markup and the
    // attributes within bounds, which leaves the size and the references in its values.
    static bool writtenFormWithinBounds(qsizetype size, qsizetype references);

    // "bank" children of the document element, after a successful read (or one that
    // failed with TooManyBanks).
    int banks() const { return bankCount; }
    // "preset" children of the file's bank `bank` (0..15, in file order), after a read.
    int presetsInBank(int bank) const { return presetCounts[std::size_t(bank)]; }

private:
    // A refusal for size or bounds becomes TooManyBanks when the text holds more than 16
    // "bank" tags, so the message can say how many.
    Result tooManyBanksOr(const QByteArray &text, Result otherwise);

    int bankCount = 0;
    std::array<int, BankCount> presetCounts{};
};
