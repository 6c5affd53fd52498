#include "app/recoveryoffer.h"

#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "device/backuptexts.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace RecoveryOffer {

QString question(const RecoveryCopy::Orphan &orphan, const QString &when)
{
    // Named, so the user knows which work comes back, or which is thrown away.
    if (orphan.fileName.isEmpty())
        return MainWindow::tr("Unsaved changes from %1 were found. Restore them?").arg(when);
    return MainWindow::tr("Unsaved changes to %1 from %2 were found. Restore them?")
        .arg(QFileInfo(orphan.fileName).fileName(), when);
}

namespace {

// Keeps a dialog on the middle of a window that the window manager is still placing and sizing
// (maximising takes a moment after the window first shows). Owned by the dialog.
class CentreKeeper : public QObject
{
public:
    CentreKeeper(QWidget &dialog, QWidget &window) : QObject(&dialog), dialog(dialog), window(window)
    {
        window.installEventFilter(this);
        dialog.installEventFilter(this);
    }
    ~CentreKeeper() override { window.removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
        if ((watched == &window && placed) || (watched == &dialog && event->type() == QEvent::Show))
            QTimer::singleShot(0, this, [this] { centre(); });
        return false;
    }

private:
    void centre()
    {
        QRect place = dialog.frameGeometry();
        place.moveCenter(window.frameGeometry().center());
        dialog.move(place.topLeft());
    }
    QWidget &dialog;
    QWidget &window;
};

// A copy that can't be read: says so and offers to remove it.
void offerDiscardDamaged(MainWindow &window, const RecoveryCopy::Orphan &orphan, const QString &when)
{
    QMessageBox box(
        QMessageBox::Warning, AppIdentity::ProgramName,
        MainWindow::tr("Unsaved changes from %1 were found, but their copy is damaged and can't be "
                       "restored.")
            .arg(when),
        QMessageBox::NoButton, &window);
    box.setInformativeText(window.errorText + QStringLiteral("\n\n") +
                           MainWindow::tr("Discard it? Kept, it is offered again at the next start."));
    QPushButton *discard = box.addButton(MainWindow::tr("&Discard"), QMessageBox::DestructiveRole);
    box.addButton(MainWindow::tr("&Keep"), QMessageBox::RejectRole);
    box.setDefaultButton(discard);
    box.exec();
    if (box.clickedButton() == discard)
        window.recovery->discardOrphan(orphan);
}

} // namespace

void run(MainWindow &window)
{
    const std::optional<RecoveryCopy::Orphan> orphan = window.recovery->findOrphan();
    if (!orphan)
        return;
    const QLocale locale = BackupTexts::interfaceLocale(window.language);
    const QString when = locale.toString(orphan->time.toLocalTime(), QStringLiteral("d MMM yyyy HH:mm"));
    BankStore restored;
    QString fileName;
    if (!window.recovery->read(*orphan, restored, fileName, window.errorText)) {
        offerDiscardDamaged(window, *orphan, when);
        return;
    }
    QMessageBox box(QMessageBox::Question, AppIdentity::ProgramName, question(*orphan, when),
                    QMessageBox::NoButton, &window);
    QString info = orphan->fileName.isEmpty() ? MainWindow::tr("They were never saved to a file.")
                                              : QDir::toNativeSeparators(orphan->fileName);
    // A copy that does not say what its program saw of the file (one of an earlier version,
    // or of a file that could not be read then): the file as it is now counts as seen.
    const bool stampKnown = orphan->fileName.isEmpty() || orphan->fileStamp.isValid();
    if (!stampKnown && FileStamp::of(orphan->fileName).isValid())
        info += QStringLiteral("\n\n") +
                MainWindow::tr("The copy does not record the state of this file: a change made to it "
                               "before now will not be noticed when you save.");
    box.setInformativeText(info);
    QPushButton *restore = box.addButton(MainWindow::tr("&Restore"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(MainWindow::tr("&Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    // Asked just after start-up, the box would centre on where the window was before the
    // window manager placed it: it follows the window until it closes.
    new CentreKeeper(box, window);
    box.exec();
    if (box.clickedButton() == discard) {
        window.recovery->discardOrphan(*orphan);
        return;
    }
    if (box.clickedButton() != restore)
        return; // asked again at the next start
    window.recovery->adopt(*orphan);
    window.replaceDocument(restored, Document::Source::Unsaved, fileName);
    // The first save compares the file with what the crashed program saw of it.
    if (!fileName.isEmpty())
        window.document.setFileStamp(stampKnown ? orphan->fileStamp : FileStamp::of(fileName));
}

} // namespace RecoveryOffer
