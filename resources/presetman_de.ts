<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BankSel</name>
    <message>
        <source>Orvex+ Preset Manager</source>
        <translation>Orvex+ Preset Manager</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>select banks to save</source>
        <translation>zu speichernde Bänke</translation>
    </message>
    <message>
        <source>select:</source>
        <translation>diese:</translation>
    </message>
    <message>
        <source>selection (.syx)</source>
        <translation>Auswahl (.syx)</translation>
    </message>
</context>
<context>
    <name>BankSelLoad</name>
    <message>
        <source>Bank:</source>
        <translation>Bank:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Load single preset bank</source>
        <translation>Lade einzelne Preset Bank</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>The selected file contains only one preset bank. Please select the bank you want to load this file:</source>
        <translation>Die gewählte Datei enthält nur eine Preset Bank. Bitte wählen Sie die Bank, in die diese Datei geladen werden soll:</translation>
    </message>
</context>
<context>
    <name>Form</name>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>:/Charts/export.png</source>
        <translation>:/Charts/export_de.png</translation>
    </message>
    <message>
        <source>:/Charts/import.png</source>
        <translation>:/Charts/import_de.png</translation>
    </message>
    <message>
        <source>:/Charts/load.png</source>
        <translation>:/Charts/load_de.png</translation>
    </message>
    <message>
        <source>:/Charts/redo.png</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>:/Charts/save.png</source>
        <translation>:/Charts/save_de.png</translation>
    </message>
    <message>
        <source>:/Charts/undo.png</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to save or export your changes?</source>
        <translation>Möchten Sie Ihre Änderungen speichern oder exportieren?</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>Open preset file</source>
        <translation>Preset Datei öffnen</translation>
    </message>
    <message>
        <source>Please import or load all banks first</source>
        <translation>Bitte importieren oder laden Sie zuerst alle Bänke</translation>
    </message>
    <message>
        <source>Save preset file</source>
        <translation>Preset Datei speichern</translation>
    </message>
    <message>
        <source>The presets banks have been modified.</source>
        <translation>Die Preset Bänke wurden geändert.</translation>
    </message>
    <message>
        <source>can't open file for read</source>
        <translation>Kann Datei nicht zum Lesen öffnen</translation>
    </message>
    <message>
        <source>can't open file for write</source>
        <translation>kann Datei nicht zum Schreiben öffnen</translation>
    </message>
    <message>
        <source>can't write file</source>
        <translation>kann Datei nicht schreiben</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>not a valid preset file (1)</source>
        <translation>Keine gültige Preset Datei (1)</translation>
    </message>
    <message>
        <source>not a valid preset file (2)</source>
        <translation>Keine gültige Preset Datei (2)</translation>
    </message>
    <message>
        <source>not a valid preset file (tag &quot;presetbanks&quot; not found)</source>
        <translation>Keine gültige Preset Datei (Bezeichnung &quot;presetbanks&quot; nicht gefunden)</translation>
    </message>
    <message>
        <source>paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>preset file not intended for Orvex+ (tag &quot;device&quot; not correct)</source>
        <translation>Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung &quot;device&quot; ist nicht korrekt)</translation>
    </message>
    <message>
        <source>preset file not intended for Orvex+ (tag &quot;device&quot; not found)</source>
        <translation>Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung &quot;device&quot; nicht gefunden)</translation>
    </message>
</context>
<context>
    <name>MidiSet</name>
    <message>
        <source>Orvex+ Preset Manager</source>
        <translation>Orvex+ Preset Manager</translation>
    </message>
    <message>
        <source>Orvex+ information</source>
        <translation>Orvex+ Information</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>MIDI IN port</source>
        <translation>MIDI IN Kanal</translation>
    </message>
    <message>
        <source>MIDI OUT port</source>
        <translation>MIDI OUT Kanal</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Übertragung</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>try to connect...</source>
        <translation>versuche zu verbinden...</translation>
    </message>
</context>
<context>
    <name>MidiSetting</name>
    <message>
        <source>:/Charts/export_screen.png</source>
        <translation>:/Charts/export_screen_de.png</translation>
    </message>
    <message>
        <source>:/Charts/import_screen.png</source>
        <translation>:/Charts/import_screen_de.png</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>transfer successful, %1 retries</source>
        <translation>Übertragung erfolgreich, %1 Versuche</translation>
    </message>
</context>
<context>
    <name>SyxFile</name>
    <message>
        <source>The file can't be opened for reading.</source>
        <translation>Die Datei kann nicht zum Lesen geöffnet werden.</translation>
    </message>
    <message>
        <source>The file is too large to be a preset dump.</source>
        <translation>Die Datei ist zu groß für eine Preset Sicherung.</translation>
    </message>
    <message>
        <source>The file can't be opened for writing.</source>
        <translation>Die Datei kann nicht zum Schreiben geöffnet werden.</translation>
    </message>
    <message>
        <source>The file can't be written completely.</source>
        <translation>Die Datei kann nicht vollständig geschrieben werden.</translation>
    </message>
    <message>
        <source>Nothing to save: the factory bank is never written to a SysEx file.</source>
        <translation>Nichts zu speichern: Die Werksbank wird nie in eine SysEx Datei geschrieben.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>This is not a SysEx file: it holds no SysEx message.</source>
        <translation>Dies ist keine SysEx Datei: Sie enthält keine SysEx Nachricht.</translation>
    </message>
    <message>
        <source>The file holds no complete Orvex+ preset.</source>
        <translation>Die Datei enthält kein vollständiges Orvex+ Preset.</translation>
    </message>
    <message>
        <source>Messages for other devices skipped: %1.</source>
        <translation>Übersprungene Nachrichten für andere Geräte: %1.</translation>
    </message>
    <message>
        <source>Orvex+ messages without a preset skipped: %1.</source>
        <translation>Übersprungene Orvex+ Nachrichten ohne Preset: %1.</translation>
    </message>
    <message>
        <source>Damaged or incomplete messages skipped: %1.</source>
        <translation>Übersprungene beschädigte oder unvollständige Nachrichten: %1.</translation>
    </message>
</context>
<context>
    <name>SyxLoad</name>
    <message>
        <source>Load SysEx file</source>
        <translation>SysEx Datei laden</translation>
    </message>
    <message>
        <source>Presets that name their position: %1</source>
        <translation>Presets mit Angabe ihrer Position: %1</translation>
    </message>
    <message>
        <source>Presets without a position (a captured dump): %1</source>
        <translation>Presets ohne Position (ein mitgeschnittener Dump): %1</translation>
    </message>
    <message>
        <source>Presets with a position</source>
        <translation>Presets mit Position</translation>
    </message>
    <message>
        <source>to the positions the file names</source>
        <translation>an die in der Datei genannten Positionen</translation>
    </message>
    <message>
        <source>into bank:</source>
        <translation>in Bank:</translation>
    </message>
    <message>
        <source>Presets without a position, in order from</source>
        <translation>Presets ohne Position, der Reihe nach ab</translation>
    </message>
    <message>
        <source>Bank:</source>
        <translation>Bank:</translation>
    </message>
    <message>
        <source>Preset:</source>
        <translation>Preset:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Presets to load: %1.</source>
        <translation>Zu ladende Presets: %1.</translation>
    </message>
    <message>
        <source>Left out, as the factory bank is never written: %1.</source>
        <translation>Ausgelassen, da die Werksbank nie überschrieben wird: %1.</translation>
    </message>
    <message>
        <source>Left out, as they would land past bank 16: %1.</source>
        <translation>Ausgelassen, da sie hinter Bank 16 lägen: %1.</translation>
    </message>
</context>
<context>
    <name>LibraryPanel</name>
    <message>
        <source>%1 presets found, the first %2 shown</source>
        <translation>%1 Presets gefunden, die ersten %2 angezeigt</translation>
    </message>
    <message>
        <source>%1 presets in %2 files</source>
        <translation>%1 Presets in %2 Dateien</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <source>Add a folder to the library</source>
        <translation>Ordner zur Bibliothek hinzufügen</translation>
    </message>
    <message>
        <source>Add folder...</source>
        <translation>Ordner hinzufügen ...</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Bank</source>
        <translation>Bank</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Library</source>
        <translation>Bibliothek</translation>
    </message>
    <message>
        <source>Lists the files that hold the parameters of the preset selected in the table</source>
        <translation>Listet die Dateien, die die Parameter des in der Tabelle gewählten Presets enthalten</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>No file in the library holds the sound of &quot;%1&quot;.</source>
        <translation>Keine Datei der Bibliothek enthält den Klang von &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Opening the library...</source>
        <translation>Bibliothek wird geöffnet ...</translation>
    </message>
    <message>
        <source>Places holding the sound of &quot;%1&quot;: %2</source>
        <translation>Stellen mit dem Klang von &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Presets found: %1</source>
        <translation>Gefundene Presets: %1</translation>
    </message>
    <message>
        <source>Reading files: %1 of %2</source>
        <translation>Dateien werden gelesen: %1 von %2</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot;</source>
        <translation>&quot;%1&quot; entfernen</translation>
    </message>
    <message>
        <source>Search name, author, category</source>
        <translation>Name, Autor, Kategorie suchen</translation>
    </message>
    <message>
        <source>Send to selected cell</source>
        <translation>An gewählte Zelle senden</translation>
    </message>
    <message>
        <source>The library could not be changed: %1</source>
        <translation>Die Bibliothek konnte nicht geändert werden: %1</translation>
    </message>
    <message>
        <source>The library could not be searched: %1</source>
        <translation>Die Bibliothek konnte nicht durchsucht werden: %1</translation>
    </message>
    <message>
        <source>The library could not be updated: %1</source>
        <translation>Die Bibliothek konnte nicht aktualisiert werden: %1</translation>
    </message>
    <message>
        <source>The library database cannot be opened: %1</source>
        <translation>Die Datenbank der Bibliothek kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>The library database was damaged and has been rebuilt from the files.</source>
        <translation>Die Datenbank der Bibliothek war beschädigt und wurde aus den Dateien neu aufgebaut.</translation>
    </message>
    <message>
        <source>The library is not ready yet.</source>
        <translation>Die Bibliothek ist noch nicht bereit.</translation>
    </message>
    <message>
        <source>These files could not be read and are left out of the library.</source>
        <translation>Diese Dateien konnten nicht gelesen werden und fehlen in der Bibliothek.</translation>
    </message>
    <message>
        <source>Unreadable files: %1</source>
        <translation>Nicht lesbare Dateien: %1</translation>
    </message>
    <message>
        <source>Update now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
    <message>
        <source>Where else is this sound?</source>
        <translation>Wo gibt es diesen Klang noch?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has changed since it was read; the library is being updated.</source>
        <translation>&quot;%1&quot; wurde seit dem Einlesen geändert; die Bibliothek wird aktualisiert.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Library</source>
        <translation>Bibliothek</translation>
    </message>
    <message>
        <source>Library %1%</source>
        <translation>Bibliothek %1%</translation>
    </message>
    <message>
        <source>Show or hide the library (Ctrl+L)</source>
        <translation>Bibliothek zeigen oder verbergen (Strg+L)</translation>
    </message>
    <message>
        <source>Select a cell of a user bank first.</source>
        <translation>Bitte zuerst eine Zelle einer Benutzerbank wählen.</translation>
    </message>
    <message>
        <source>Select a preset in the table first.</source>
        <translation>Bitte zuerst ein Preset in der Tabelle wählen.</translation>
    </message>
</context>
</TS>
