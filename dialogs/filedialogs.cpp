#include "dialogs/filedialogs.h"

#include "base/appidentity.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The user picked or typed this very name: replacing it is what they mean, so Replace is the
// default; "Choose another" goes back to the file dialog, not out of the save.
bool confirmReplace(QWidget *parent, const QString &fileName)
{
    QMessageBox box(
        QMessageBox::Warning, AppIdentity::ProgramName,
        QCoreApplication::translate("FileDialogs", "%1 already exists.\nDo you want to replace it?")
            .arg(QFileInfo(fileName).fileName()),
        QMessageBox::NoButton, parent);
    QPushButton *replace =
        box.addButton(QCoreApplication::translate("FileDialogs", "&Replace"), QMessageBox::AcceptRole);
    box.addButton(QCoreApplication::translate("FileDialogs", "&Choose another name"),
                  QMessageBox::RejectRole);
    box.setDefaultButton(replace);
    box.exec();
    return box.clickedButton() == replace;
}

} // namespace

FileDialogs::FileDialogs()
    : saveFileName([](QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter, QString *selectedFilter) {
          // `directory` may name a file: the dialog then opens in its folder with its name filled in.
          QFileDialog dialog(parent, caption, directory, filter);
          dialog.setAcceptMode(QFileDialog::AcceptSave);
          dialog.setFileMode(QFileDialog::AnyFile);
          dialog.setOption(QFileDialog::DontConfirmOverwrite);
          if (selectedFilter && !selectedFilter->isEmpty())
              dialog.selectNameFilter(*selectedFilter);
          while (dialog.exec() == QDialog::Accepted) {
              const QString name = dialog.selectedFiles().value(0);
              if (name.isEmpty())
                  break;
              if (QFileInfo::exists(name) && !confirmReplace(parent, name)) {
                  dialog.selectFile(name);
                  continue;
              }
              if (selectedFilter)
                  *selectedFilter = dialog.selectedNameFilter();
              return name;
          }
          return QString();
      }),
      openFileName(
          [](QWidget *parent, const QString &caption, const QString &directory, const QString &filter) {
              return QFileDialog::getOpenFileName(parent, caption, directory, filter);
          })
{
}
