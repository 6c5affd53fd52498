#pragma once

#include <QString>

class QComboBox;
class QLineEdit;
class QWidget;

// Names for screen readers where Qt's own choice does not fit.
namespace AccessibleNames {

// The clear (×) button of a line edit made with setClearButtonEnabled(true).
void nameClearButton(QLineEdit *edit, const QString &name, const QString &toolTip);

// On Linux Qt names a combo box by its current item ("EN"); this one keeps the
// accessible name it was given and reads its item as its value.
void keepComboBoxName(QComboBox *box);

// Has a screen reader speak `text` while the focus stays where it is. `live` is a status label
// beside the change: its name becomes the text, which Qt versions without announcements report
// as a name change; where Qt has announcements, one is raised as well.
void announce(QWidget *live, const QString &text);

} // namespace AccessibleNames
