#pragma once

class MainWindow;

// "Print…": the bank sheet's pages through Qt's print dialog, whose page range chooses the
// banks (page N is bank N). A failure is shown in the window's error box.
void printBankSheet(MainWindow &window);
