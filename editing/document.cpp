#include "editing/document.h"

#include <QFileInfo>

Document::Document(QObject *parent) : QObject(parent)
{
    store.fillEmptyBanks();
}

void Document::replace(const BankStore &banks, Source source, const QString &fileName)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &record = store.at(b, p);
            record.copyContentFrom(banks.at(b, p));
            record.mark = true;
        }
    banksLoaded = true;
    file = source == Source::Module ? QString() : fileName;
    stamp = FileStamp();
    if (source == Source::Unsaved)
        history.resetUnsaved();
    else
        history.reset();
    moduleValid = source == Source::Module;
    moduleChange = history.changeCount();
    noteChange();
}

void Document::setFileName(const QString &fileName)
{
    if (fileName != file)
        stamp = FileStamp();
    file = fileName;
    noteChange();
}

void Document::setFileStamp(const FileStamp &seen)
{
    if (seen == stamp)
        return;
    stamp = seen;
    emit changed();
}

void Document::savedWhole(const QString &fileName)
{
    file = fileName;
    stamp = FileStamp::of(fileName);
    history.markClean();
    noteChange();
}

void Document::fileReplacedByPart()
{
    if (file.isEmpty())
        return;
    stamp = FileStamp::of(file);
    history.forgetClean();
    noteChange();
}

void Document::fileChangedElsewhere()
{
    if (file.isEmpty())
        return;
    history.forgetClean();
    noteChange();
}

void Document::exportedWhole()
{
    // With no file named, the module is the document's place: it now counts as saved.
    if (file.isEmpty())
        history.markClean();
    moduleValid = true;
    moduleChange = history.changeCount();
    noteChange();
}

void Document::moduleOverwritten()
{
    moduleValid = false;
    noteChange();
}

bool Document::isDocumentFile(const QString &fileName) const
{
    if (file.isEmpty() || fileName.isEmpty())
        return false;
    const QFileInfo mine(file);
    const QFileInfo other(fileName);
    if (mine.absoluteFilePath() == other.absoluteFilePath())
        return true;
    // Another path to the same file (a link, "..", a second mount point).
    const QString canonical = mine.canonicalFilePath();
    return !canonical.isEmpty() && canonical == other.canonicalFilePath();
}

void Document::noteChange()
{
    const bool module = moduleHoldsDocument();
    if (history.changeCount() == notedChange && modified == notedModified && banksLoaded == notedLoaded &&
        module == notedModule && file == notedFile)
        return;
    notedChange = history.changeCount();
    notedModified = modified;
    notedLoaded = banksLoaded;
    notedModule = module;
    notedFile = file;
    emit changed();
}
