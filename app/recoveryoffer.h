#pragma once

#include "files/recoverycopy.h"

#include <QString>

class MainWindow;

// Work a crashed run left behind, offered once the window shows: Restore brings it back as the
// unsaved document, Discard removes the copy, closing the box asks again at the next start; a
// copy that can't be read is named and offered for removal. The texts are the window's.
namespace RecoveryOffer {

void run(MainWindow &window);

// The question, naming the file the changes belong to.
QString question(const RecoveryCopy::Orphan &orphan, const QString &when);

} // namespace RecoveryOffer
