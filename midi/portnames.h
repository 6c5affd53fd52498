#pragma once

#include <QString>
#include <QStringList>

// Finding a remembered or typed port name again in a fresh port list.
namespace PortNames {

// The row holding `name`: the exact name first, else the only one that differs in the
// ALSA address at its end ("Module:Port 24:0" after a re-plug as "Module:Port 28:0").
// -1 when there is none or the name is empty.
int find(const QStringList &names, const QString &name);

} // namespace PortNames
