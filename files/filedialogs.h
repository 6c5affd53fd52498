#pragma once

#include <QString>

#include <functional>

class QWidget;

// How the save and load flows ask for a file name. By default these are the platform's
// file dialogs, which a test cannot drive; a test puts its own answers in their place.
// An empty name means the user cancelled.
class FileDialogs
{
public:
    using Ask = std::function<QString(QWidget *parent, const QString &caption, const QString &directory,
                                      const QString &filter)>;

    FileDialogs();

    Ask saveFileName; // QFileDialog::getSaveFileName, no options: replacing asks first
    Ask openFileName; // QFileDialog::getOpenFileName, no options
};
