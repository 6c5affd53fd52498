#pragma once

#include "editing/undohistory.h"
#include "files/filestamp.h"
#include "model/bankstore.h"

#include <QObject>
#include <QString>

// The document the window edits: all 16 banks with their undo history, the file the title
// names, and where its latest state is kept (that file, the module). The window, the title,
// the recovery copy and the close question follow `changed`; nothing here knows widgets.
//
// `modified` says whether the document's place lacks its latest state: the named file, or
// with no file named the state last taken or given whole (import, complete export). A
// complete export with a named file leaves `modified` alone, since that file still lacks
// the changes; `moduleHoldsDocument` tells the close question that the module has them.
class Document : public QObject
{
    Q_OBJECT
public:
    explicit Document(QObject *parent = nullptr);

    BankStore store;
    bool modified = false;
    bool banksLoaded = false;
    UndoHistory history{store, modified};

    // Where a whole new document comes from.
    enum class Source {
        File,    // a file that holds it from now on, named in the title
        Module,  // an import: no file named, the module holds it
        Unsaved, // work brought back after a crash: it names its file, which lacks it
    };
    // Replaces every preset, marked for the table, and empties the history: the one way a
    // whole document comes in (load, import, recovery).
    void replace(const BankStore &banks, Source source, const QString &fileName = QString());

    const QString &fileName() const { return file; }
    void setFileName(const QString &fileName);
    // All banks went to `fileName`, which now names and holds the document.
    void savedWhole(const QString &fileName);
    // Part of the document (one bank, a selection, a SysEx image) was written over the
    // named file: it no longer holds the document, whatever the history says.
    void fileReplacedByPart();

    // What the named file held when this program last read or wrote it: taken before a
    // load reads the file, and after each save to it; a restored recovery copy brings back
    // what its program saw. Sends `changed` when it differs: the recovery copy keeps it.
    const FileStamp &fileStamp() const { return stamp; }
    void setFileStamp(const FileStamp &seen);
    // Whether another program changed the named file since.
    FileStamp::Change fileChangedOnDisk() const { return stamp.compare(file); }
    // Another program's content is in the named file, and the user keeps this document: the
    // file no longer holds it, so the title and the close question say so. The stamp stays,
    // so a save over that content still asks.
    void fileChangedElsewhere();
    // The module received every user preset of the document as it is now.
    void exportedWhole();
    // Something else was written to the module: it may no longer hold the document.
    void moduleOverwritten();

    // The named file holds the latest state.
    bool fileHoldsDocument() const { return !file.isEmpty() && !modified; }
    // The module holds the latest state (after an import or a complete export, until the
    // next change).
    bool moduleHoldsDocument() const { return moduleValid && moduleChange == history.changeCount(); }
    // `fileName` is the document's file: the same path, or the same file on the disk.
    bool isDocumentFile(const QString &fileName) const;

    // Called after anything that may have changed the document; sends `changed` once when
    // the banks, the history, the file or what holds it did.
    void noteChange();

signals:
    void changed();

private:
    QString file;
    FileStamp stamp;
    quint64 moduleChange = 0;
    bool moduleValid = false;
    // What `changed` last reported.
    quint64 notedChange = 0;
    bool notedModified = false;
    bool notedLoaded = false;
    bool notedModule = false;
    QString notedFile;
};
