#pragma once

class QWidget;

// The bank dialogs place their widgets by hand, measured for one style and font; another Qt version
// or font draws some texts a few pixels wider. Every button or label narrower than its text grows,
// what stands to its right moves along, and the boxes and the fixed-size dialog grow with them.
void growToFitTexts(QWidget *form);
