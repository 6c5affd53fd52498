#pragma once

#include "model/presetrecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Presets dragged from the library panel: whole records, read from their files when the
// drag starts, so a drop needs nothing else.
namespace LibraryMime {

QString format();
QByteArray encode(const QVector<PresetRecord> &presets);
// Empty for data that is damaged or holds more than a bank.
QVector<PresetRecord> decode(const QByteArray &data);

} // namespace LibraryMime
