#pragma once

#include "app/mainwindow.h"

// Names every preset (nameFormat takes bank and preset, 0-based) and shows the banks as loaded.
inline void loadSomething(MainWindow &w, const QString &nameFormat = QStringLiteral("P%1-%2"))
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w.bankStore.at(b, p);
            r.name = nameFormat.arg(b).arg(p);
            r.mark = true;
        }
    w.banksLoaded = true;
    w.updateTable(true);
}
