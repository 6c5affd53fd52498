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
    // As Ask; selectedFilter holds the filter shown chosen at the start and, on return, the
    // one the user left chosen, so that a name typed without an extension can get its own.
    using AskSave = std::function<QString(QWidget *parent, const QString &caption, const QString &directory,
                                          const QString &filter, QString *selectedFilter)>;

    FileDialogs();

    AskSave saveFileName; // a save dialog; replacing a file asks first, Replace the default
    Ask openFileName;     // QFileDialog::getOpenFileName, no options
};
