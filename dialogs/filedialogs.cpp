#include "dialogs/filedialogs.h"

#include <QFileDialog>

FileDialogs::FileDialogs()
    : saveFileName([](QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter, QString *selectedFilter) {
          return QFileDialog::getSaveFileName(parent, caption, directory, filter, selectedFilter);
      }),
      openFileName(
          [](QWidget *parent, const QString &caption, const QString &directory, const QString &filter) {
              return QFileDialog::getOpenFileName(parent, caption, directory, filter);
          })
{
}
