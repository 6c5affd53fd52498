<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BankSaveDialog</name>
    <message>
        <source>Save all 16 banks</source>
        <translation>Alle 16 Bänke speichern</translation>
    </message>
    <message>
        <source>Save only the user bank chosen beside it</source>
        <translation>Nur die daneben gewählte Benutzerbank speichern</translation>
    </message>
    <message>
        <source>Save the selected presets as a SysEx file</source>
        <translation>Die ausgewählten Presets als SysEx-Datei speichern</translation>
    </message>
    <message>
        <source>Bank to save</source>
        <translation>Zu speichernde Bank</translation>
    </message>
    <message>
        <source>The user bank to save</source>
        <translation>Die Benutzerbank, die gespeichert wird</translation>
    </message>
    <message>
        <source>Save nothing</source>
        <translation>Nichts speichern</translation>
    </message>
    <message>
        <source>Save with this choice</source>
        <translation>Mit dieser Auswahl speichern</translation>
    </message>
    <message>
        <source>Orvex+ Preset Manager</source>
        <translation>Orvex+ Preset Manager</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;Ok</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>a&amp;lle</translation>
    </message>
    <message>
        <source>Select banks to save</source>
        <translation>zu speichernde Bänke</translation>
    </message>
    <message>
        <source>&amp;Select:</source>
        <translation>&amp;diese:</translation>
    </message>
    <message>
        <source>Selection (.s&amp;yx)</source>
        <translation>Aus&amp;wahl (.syx)</translation>
    </message>
    <message>
        <source>Save banks</source>
        <translation>Speichern</translation>
    </message>
</context>
<context>
    <name>BankLoadDialog</name>
    <message>
        <source>Load preset banks</source>
        <translation>Lade Preset Bänke</translation>
    </message>
    <message>
        <source>The selected file is an export backup of banks 2 to %1 of the module. It is loaded into those banks:</source>
        <translation>Die gewählte Datei ist eine Export-Sicherung der Bänke 2 bis %1 des Moduls. Sie wird in diese Bänke geladen:</translation>
    </message>
    <message>
        <source>The selected file holds %1 preset banks. Please select the banks you want to load them into:</source>
        <translation>Die gewählte Datei enthält %1 Preset Bänke. Bitte wählen Sie die Bänke, in die sie geladen werden sollen:</translation>
    </message>
    <message>
        <source>&amp;Banks:</source>
        <translation>&amp;Bänke:</translation>
    </message>
    <message>
        <source>The user banks that receive the file&apos;s banks</source>
        <translation>Die Benutzerbänke, die die Bänke der Datei erhalten</translation>
    </message>
    <message>
        <source>Bank to load into</source>
        <translation>Ziel-Bank</translation>
    </message>
    <message>
        <source>The user bank that receives the file's first bank; its further banks follow</source>
        <translation>Die Benutzerbank, die die erste Bank der Datei erhält; deren weitere Bänke folgen</translation>
    </message>
    <message>
        <source>Load nothing</source>
        <translation>Nichts laden</translation>
    </message>
    <message>
        <source>Load the file into this bank</source>
        <translation>Die Datei in diese Bank laden</translation>
    </message>
    <message>
        <source>&amp;Bank:</source>
        <translation>&amp;Bank:</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Load single preset bank</source>
        <translation>Lade einzelne Preset Bank</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;Ok</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>The selected file contains only one preset bank. Choose the bank to load it into:</source>
        <translation>Die gewählte Datei enthält nur eine Preset Bank. Wählen Sie die Bank, in die sie geladen wird:</translation>
    </message>
</context>
<context>
    <name>Category</name>
    <message>
        <source>empty</source>
        <translation>leer</translation>
    </message>
    <message>
        <source>User</source>
        <translation>User</translation>
    </message>
    <message>
        <source>BestOf</source>
        <translation>BestOf</translation>
    </message>
    <message>
        <source>Rock</source>
        <translation>Rock</translation>
    </message>
    <message>
        <source>Jazz</source>
        <translation>Jazz</translation>
    </message>
    <message>
        <source>Gospel/Blues</source>
        <translation>Gospel/Blues</translation>
    </message>
    <message>
        <source>Soul</source>
        <translation>Soul</translation>
    </message>
    <message>
        <source>Funk</source>
        <translation>Funk</translation>
    </message>
    <message>
        <source>House</source>
        <translation>House</translation>
    </message>
    <message>
        <source>Reggae</source>
        <translation>Reggae</translation>
    </message>
    <message>
        <source>Hi Gain</source>
        <translation>Hi Gain</translation>
    </message>
    <message>
        <source>Transistor</source>
        <translation>Transistor</translation>
    </message>
    <message>
        <source>Entertainer</source>
        <translation>Entertainer</translation>
    </message>
    <message>
        <source>Specials</source>
        <translation>Specials</translation>
    </message>
</context>
<context>
    <name>FileDialogs</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>&amp;Choose another name</source>
        <translation>&amp;Anderen Namen wählen</translation>
    </message>
</context>
<context>
    <name>DetailView</name>
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
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Author of the selection</source>
        <translation>Autor der Auswahl</translation>
    </message>
    <message>
        <source>The author all selected presets share</source>
        <translation>Der gemeinsame Autor aller gewählten Presets</translation>
    </message>
    <message>
        <source>Take the shown author</source>
        <translation>Angezeigten Autor übernehmen</translation>
    </message>
    <message>
        <source>Copy the author of the selection into the field below</source>
        <translation>Den Autor der Auswahl in das Feld darunter kopieren</translation>
    </message>
    <message>
        <source>Author to assign</source>
        <translation>Zuzuweisender Autor</translation>
    </message>
    <message>
        <source>Type an author, then press the "&gt;&gt;" beside it</source>
        <translation>Autor eingeben, dann das "&gt;&gt;" daneben drücken</translation>
    </message>
    <message>
        <source>Assign the author</source>
        <translation>Autor zuweisen</translation>
    </message>
    <message>
        <source>Give this author to all selected user presets</source>
        <translation>Diesen Autor allen gewählten Benutzer-Presets geben</translation>
    </message>
    <message>
        <source>Click a category to give it to all selected user presets</source>
        <translation>Eine Kategorie anklicken, um sie allen gewählten Benutzer-Presets zu geben</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>The backup lacks %1 of its presets, or holds them damaged.</source>
        <translation>Der Sicherung fehlen %1 ihrer Presets, oder sie sind beschädigt.</translation>
    </message>
    <message>
        <source>The backup lacks 1 of its presets, or holds it damaged.</source>
        <translation>Der Sicherung fehlt 1 ihrer Presets, oder es ist beschädigt.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>bank %1 holds 1 preset; %2 are needed</source>
        <translation>Bank %1 enthält 1 Preset; %2 werden gebraucht</translation>
    </message>
    <message>
        <source>bank %1 holds 1 preset, with damaged data; %2 are needed</source>
        <translation>Bank %1 enthält 1 Preset, mit beschädigten Daten; %2 werden gebraucht</translation>
    </message>
    <message>
        <source>%1 cannot be opened: its name holds bytes that are not UTF-8, which this program cannot name exactly. Rename the file.</source>
        <translation>%1 kann nicht geöffnet werden: Ihr Name enthält Bytes, die kein UTF-8 sind, und dieses Programm kann ihn nicht genau benennen. Benennen Sie die Datei um.</translation>
    </message>
    <message>
        <source>not a regular file (a pipe or a device)</source>
        <translation>keine gewöhnliche Datei (eine Pipe oder ein Gerät)</translation>
    </message>
    <message>
        <source>:/pictures/export.png</source>
        <translation>:/pictures/export_de.png</translation>
    </message>
    <message>
        <source>:/pictures/import.png</source>
        <translation>:/pictures/import_de.png</translation>
    </message>
    <message>
        <source>:/pictures/load.png</source>
        <translation>:/pictures/load_de.png</translation>
    </message>
    <message>
        <source>:/pictures/redo.png</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>:/pictures/save.png</source>
        <translation>:/pictures/save_de.png</translation>
    </message>
    <message>
        <source>:/pictures/undo.png</source>
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
        <source>The preset banks have unsaved changes.</source>
        <translation>Die Preset Bänke haben ungespeicherte Änderungen.</translation>
    </message>
    <message>
        <source>The preset banks have changes that are not in %1.</source>
        <translation>Die Preset Bänke haben Änderungen, die nicht in %1 stehen.</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>can't open file for read</source>
        <translation>Kann Datei nicht zum Lesen öffnen</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Aus&amp;schneiden</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
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
        <source>not a valid preset file (tag "presetbanks" not found)</source>
        <translation>Keine gültige Preset Datei (Bezeichnung "presetbanks" nicht gefunden)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>preset file not intended for Orvex+ (tag "device" not correct)</source>
        <translation>Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung "device" ist nicht korrekt)</translation>
    </message>
    <message>
        <source>preset file not intended for Orvex+ (tag "device" not found)</source>
        <translation>Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung "device" nicht gefunden)</translation>
    </message>
    <message>
        <source>Sort by &amp;name</source>
        <translation>Nach &amp;Namen sortieren</translation>
    </message>
    <message>
        <source>Sort by &amp;author</source>
        <translation>Nach &amp;Autor sortieren</translation>
    </message>
    <message>
        <source>Sort by cat&amp;egory</source>
        <translation>Nach Ka&amp;tegorie sortieren</translation>
    </message>
    <message>
        <source>Select d&amp;uplicates</source>
        <translation>&amp;Duplikate auswählen</translation>
    </message>
    <message>
        <source>No duplicates found</source>
        <translation>Keine Duplikate gefunden</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Import all 16 banks from the module</source>
        <translation>Alle 16 Bänke aus dem Modul importieren</translation>
    </message>
    <message>
        <source>Export banks 2 to 16 to the module</source>
        <translation>Bänke 2 bis 16 ins Modul exportieren</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Load a preset file over all banks or into one bank</source>
        <translation>Eine Preset-Datei über alle Bänke oder in eine Bank laden</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save all banks or one user bank to a preset file (Ctrl+Shift+S); Ctrl+S saves all banks again to the file the title names</source>
        <translation>Alle Bänke oder eine Benutzerbank in eine Preset-Datei speichern (Strg+Umschalt+S); Strg+S speichert alle Bänke erneut in die Datei, die der Titel nennt</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Language of the program, from its next start</source>
        <translation>Sprache des Programms, ab dem nächsten Start</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Undo the last change (Ctrl+Z)</source>
        <translation>Letzte Änderung rückgängig machen (Strg+Z)</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Redo the change undone last (Ctrl+Y)</source>
        <translation>Zuletzt rückgängig gemachte Änderung wiederherstellen (Strg+Y)</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>16 banks of 128 presets: double-click or F2 renames, dragging copies, the right mouse button shows the block commands</source>
        <translation>16 Bänke mit je 128 Presets: Doppelklick oder F2 benennt um, Ziehen kopiert, die rechte Maustaste zeigt die Blockbefehle</translation>
    </message>
    <message>
        <source>1 group of duplicates found</source>
        <translation>1 Gruppe von Duplikaten gefunden</translation>
    </message>
    <message>
        <source>%1 groups of duplicates found</source>
        <translation>%1 Gruppen von Duplikaten gefunden</translation>
    </message>
    <message>
        <source>1 extra copy selected</source>
        <translation>1 überzählige Kopie ausgewählt</translation>
    </message>
    <message>
        <source>%1 extra copies selected</source>
        <translation>%1 überzählige Kopien ausgewählt</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 existiert nicht.</translation>
    </message>
    <message>
        <source>Open one of the files last opened or saved (Ctrl+Shift+O)</source>
        <translation>Eine der zuletzt geöffneten oder gespeicherten Dateien öffnen (Strg+Umschalt+O)</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Gespeichert in %1</translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation>Nichts rückgängig zu machen</translation>
    </message>
    <message>
        <source>Nothing to redo</source>
        <translation>Nichts wiederherzustellen</translation>
    </message>
    <message>
        <source>1 preset did not fit right of bank %1; nothing was pasted</source>
        <translation>1 Preset passte nicht rechts neben Bank %1; nichts wurde eingefügt</translation>
    </message>
    <message>
        <source>%1 presets did not fit right of bank %2; nothing was pasted</source>
        <translation>%1 Presets passten nicht rechts neben Bank %2; nichts wurde eingefügt</translation>
    </message>
    <message>
        <source>1 preset did not fit below row %1; nothing was pasted</source>
        <translation>1 Preset passte nicht unter Zeile %1; nichts wurde eingefügt</translation>
    </message>
    <message>
        <source>%1 presets did not fit below row %2; nothing was pasted</source>
        <translation>%1 Presets passten nicht unter Zeile %2; nichts wurde eingefügt</translation>
    </message>
    <message>
        <source>Nothing is selected</source>
        <translation>Nichts ist ausgewählt</translation>
    </message>
    <message>
        <source>Bank 1 is read-only</source>
        <translation>Bank 1 ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Only a rectangular block of presets can be cut</source>
        <translation>Nur ein rechteckiger Block von Presets kann ausgeschnitten werden</translation>
    </message>
    <message>
        <source>Only a rectangular block of presets can be copied</source>
        <translation>Nur ein rechteckiger Block von Presets kann kopiert werden</translation>
    </message>
    <message>
        <source>Select the one cell where the copied block&apos;s top-left corner goes</source>
        <translation>Wählen Sie die eine Zelle, an die die linke obere Ecke des kopierten Blocks kommt</translation>
    </message>
    <message>
        <source>Nothing has been copied yet</source>
        <translation>Es wurde noch nichts kopiert</translation>
    </message>
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
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Mark the presets that differ from a file, a backup or the module</source>
        <translation>Die Presets markieren, die von einer Datei, einer Sicherung oder dem Modul abweichen</translation>
    </message>
    <message>
        <source>With a file…</source>
        <translation>Mit einer Datei…</translation>
    </message>
    <message>
        <source>With a backup…</source>
        <translation>Mit einer Sicherung…</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>The backups each export saves: compare with one or restore it</source>
        <translation>Die Sicherungen jedes Exports: vergleichen oder wiederherstellen</translation>
    </message>
    <message>
        <source>Compare with</source>
        <translation>Vergleichen mit</translation>
    </message>
    <message>
        <source>Presets, SysEx and MIDI files (*.pre *.syx *.mid)</source>
        <translation>Presets, SysEx- und MIDI-Dateien (*.pre *.syx *.mid)</translation>
    </message>
    <message>
        <source>Read all 16 banks to compare them with the document</source>
        <translation>Alle 16 Bänke lesen, um sie mit dem Dokument zu vergleichen</translation>
    </message>
    <message>
        <source>With the module…</source>
        <translation>Mit dem Modul…</translation>
    </message>
    <message>
        <source>the module</source>
        <translation>dem Modul</translation>
    </message>
    <message>
        <source>bank %1 holds %2 presets; %3 are needed</source>
        <translation>Bank %1 enthält %2 Presets; %3 werden gebraucht</translation>
    </message>
    <message>
        <source>bank %1 holds %2 presets, %3 of them with damaged data; %4 are needed</source>
        <translation>Bank %1 enthält %2 Presets, %3 davon mit beschädigten Daten; %4 werden gebraucht</translation>
    </message>
    <message>
        <source>bank %1: presets with damaged data: %2</source>
        <translation>Bank %1: Presets mit beschädigten Daten: %2</translation>
    </message>
    <message>
        <source>The file does not hold every preset of its banks:</source>
        <translation>Die Datei enthält nicht alle Presets ihrer Bänke:</translation>
    </message>
    <message>
        <source>The file holds no bank.</source>
        <translation>Die Datei enthält keine Bank.</translation>
    </message>
    <message>
        <source>The file holds %1 banks; a preset file holds 1 to %2.</source>
        <translation>Die Datei enthält %1 Bänke; eine Preset-Datei enthält 1 bis %2.</translation>
    </message>
    <message>
        <source>A SysEx file keeps only what the module keeps.</source>
        <translation>Eine SysEx-Datei behält nur, was das Modul behält.</translation>
    </message>
    <message>
        <source>A SysEx file does not save the document: the changes stay unsaved until they are saved to a preset file (.pre).</source>
        <translation>Eine SysEx-Datei sichert das Dokument nicht: Die Änderungen bleiben ungesichert, bis sie in einer Preset-Datei (.pre) gespeichert werden.</translation>
    </message>
    <message>
        <source>&amp;Save SysEx file</source>
        <translation>SysEx-Datei &amp;speichern</translation>
    </message>
    <message>
        <source>The MIDI file plays for %1.</source>
        <translation>Die MIDI-Datei spielt %1 lang.</translation>
    </message>
    <message>
        <source>Presets: %1. Each is sent as fast as a MIDI cable carries it, then the file pauses %2 ms for the module to store it.</source>
        <translation>Presets: %1. Jedes wird so schnell gesendet, wie ein MIDI-Kabel es trägt; danach pausiert die Datei %2 ms, damit das Modul es speichern kann.</translation>
    </message>
    <message>
        <source>&amp;Save MIDI file</source>
        <translation>MIDI-Datei &amp;speichern</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Drucken…</translation>
    </message>
    <message>
        <source>Bank sheet</source>
        <translation>Bankliste</translation>
    </message>
    <message>
        <source>Print the bank sheet</source>
        <translation>Bankliste drucken</translation>
    </message>
    <message>
        <source>The printer can&apos;t be started.</source>
        <translation>Der Drucker kann nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Unsaved changes from %1 were found. Restore them?</source>
        <translation>Ungesicherte Änderungen vom %1 wurden gefunden. Wiederherstellen?</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Presets placed: %1, from bank %2, preset %3</source>
        <translation>Presets eingefügt: %1, ab Bank %2, Preset %3</translation>
    </message>
    <message>
        <source>The module already has the changes, but %1 does not. Do you want to save them?</source>
        <translation>Das Modul hat die Änderungen schon, %1 aber nicht. Möchten Sie sie speichern?</translation>
    </message>
    <message>
        <source>all %1 banks</source>
        <translation>alle %1 Bänke</translation>
    </message>
    <message>
        <source>one bank</source>
        <translation>eine Bank</translation>
    </message>
    <message>
        <source>%1 banks</source>
        <translation>%1 Bänke</translation>
    </message>
    <message>
        <source>no bank this program can read</source>
        <translation>keine Bank, die dieses Programm lesen kann</translation>
    </message>
    <message>
        <source>the selected preset as a SysEx file</source>
        <translation>das gewählte Preset als SysEx-Datei</translation>
    </message>
    <message>
        <source>%1 selected presets as a SysEx file</source>
        <translation>die %1 gewählten Presets als SysEx-Datei</translation>
    </message>
    <message>
        <source>banks 2 to 16 as a SysEx file</source>
        <translation>die Bänke 2 bis 16 als SysEx-Datei</translation>
    </message>
    <message>
        <source>bank %1 alone as a SysEx file</source>
        <translation>Bank %1 allein als SysEx-Datei</translation>
    </message>
    <message>
        <source>bank %1 alone</source>
        <translation>Bank %1 allein</translation>
    </message>
    <message>
        <source>%1 is the document's file.</source>
        <translation>%1 ist die Datei des Dokuments.</translation>
    </message>
    <message>
        <source>It holds %1. Saving %2 there replaces all of it, and the document then counts as unsaved.</source>
        <translation>Sie enthält %1. Wenn Sie dort %2 speichern, ersetzt das ihren ganzen Inhalt, und das Dokument gilt danach als nicht gespeichert.</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>%1 was changed by another program on %2, after it was last loaded or saved here.</source>
        <translation>%1 wurde am %2 von einem anderen Programm geändert, nachdem sie hier zuletzt geladen oder gespeichert wurde.</translation>
    </message>
    <message>
        <source>Replacing it loses those changes.</source>
        <translation>Wenn Sie sie ersetzen, gehen diese Änderungen verloren.</translation>
    </message>
    <message>
        <source>Save under &amp;Another Name…</source>
        <translation>&amp;Unter anderem Namen speichern…</translation>
    </message>
    <message>
        <source>%1 was changed by another program on %2. Load it again?</source>
        <translation>%1 wurde am %2 von einem anderen Programm geändert. Neu laden?</translation>
    </message>
    <message>
        <source>&amp;Load Again</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>%1 no longer holds all banks.</source>
        <translation>%1 enthält nicht mehr alle Bänke.</translation>
    </message>
    <message>
        <source>Unsaved changes from %1 were found, but their copy is damaged and can't be restored.</source>
        <translation>Ungesicherte Änderungen vom %1 wurden gefunden, aber ihre Kopie ist beschädigt und kann nicht wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>Discard it? Kept, it is offered again at the next start.</source>
        <translation>Verwerfen? Behalten wird sie beim nächsten Start wieder angeboten.</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Behalten</translation>
    </message>
    <message>
        <source>Unsaved changes to %1 from %2 were found. Restore them?</source>
        <translation>Ungesicherte Änderungen an %1 vom %2 wurden gefunden. Wiederherstellen?</translation>
    </message>
    <message>
        <source>They were never saved to a file.</source>
        <translation>Sie wurden nie in einer Datei gespeichert.</translation>
    </message>
    <message>
        <source>The copy does not record the state of this file: a change made to it before now will not be noticed when you save.</source>
        <translation>Die Kopie hält den Stand dieser Datei nicht fest: Eine Änderung, die bis jetzt an ihr vorgenommen wurde, wird beim Speichern nicht bemerkt.</translation>
    </message>
    <message>
        <source>1 preset saved to %1</source>
        <translation>1 Preset in %1 gespeichert</translation>
    </message>
    <message>
        <source>%1 presets saved to %2</source>
        <translation>%1 Presets in %2 gespeichert</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Zuletzt verwendete Dateien</translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation>Keine zuletzt verwendeten Dateien</translation>
    </message>
    <message>
        <source>%1 is no longer there</source>
        <translation>%1 ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>Clear the list</source>
        <translation>Liste leeren</translation>
    </message>
</context>
<context>
    <name>TransferDialog</name>
    <message>
        <source>The serial number as the module shows it; the module reports it as the number %1</source>
        <translation>Die Seriennummer, wie das Modul sie anzeigt; das Modul meldet sie als die Zahl %1</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>The connected module's serial number</source>
        <translation>Die Seriennummer des verbundenen Moduls</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware-Version</translation>
    </message>
    <message>
        <source>The connected module's firmware version</source>
        <translation>Die Firmware-Version des verbundenen Moduls</translation>
    </message>
    <message>
        <source>The port the module's replies come in on</source>
        <translation>Der Port, über den die Antworten des Moduls ankommen</translation>
    </message>
    <message>
        <source>The port the program sends to the module on</source>
        <translation>Der Port, über den das Programm an das Modul sendet</translation>
    </message>
    <message>
        <source>Open the chosen ports and ask the module who it is</source>
        <translation>Die gewählten Ports öffnen und das Modul nach seiner Kennung fragen</translation>
    </message>
    <message>
        <source>Start the transfer</source>
        <translation>Die Übertragung starten</translation>
    </message>
    <message>
        <source>Orvex+ Preset Manager</source>
        <translation>Orvex+ Preset Manager</translation>
    </message>
    <message>
        <source>Orvex+ information</source>
        <translation>Orvex+ Information</translation>
    </message>
    <message>
        <source>Co&amp;nnect</source>
        <translation>&amp;Verbinden</translation>
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
        <source>No MIDI ports found. Is the MIDI system running and the module plugged in?</source>
        <translation>Keine MIDI-Ports gefunden. Läuft das MIDI-System, ist das Modul angeschlossen?</translation>
    </message>
    <message>
        <source>Read both port lists again</source>
        <translation>Beide Listen neu einlesen</translation>
    </message>
    <message>
        <source>Re&amp;scan</source>
        <translation>&amp;Neu suchen</translation>
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
        <source>&amp;Transfer</source>
        <translation>&amp;Übertragung</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>try to connect...</source>
        <translation>versuche zu verbinden...</translation>
    </message>
    <message>
        <source>&amp;Find module</source>
        <translation>&amp;Modul suchen</translation>
    </message>
    <message>
        <source>Ask on every port which one the module answers on, and choose that pair</source>
        <translation>An jedem Port fragen, an welchem das Modul antwortet, und dieses Paar wählen</translation>
    </message>
    <message>
        <source>Write banks 2–16 to the module</source>
        <translation>Die Bänke 2–16 in das Modul schreiben</translation>
    </message>
    <message>
        <source>Read all 16 banks from the module</source>
        <translation>Alle 16 Bänke aus dem Modul lesen</translation>
    </message>
    <message>
        <source>Close the ports</source>
        <translation>Die Ports schließen</translation>
    </message>
    <message>
        <source>:/pictures/export_screen.png</source>
        <translation>:/pictures/export_screen_de.png</translation>
    </message>
    <message>
        <source>:/pictures/restore_screen.png</source>
        <translation>:/pictures/restore_screen_de.png</translation>
    </message>
    <message>
        <source>:/pictures/read_screen.png</source>
        <translation>:/pictures/read_screen_de.png</translation>
    </message>
    <message>
        <source>:/pictures/import_screen.png</source>
        <translation>:/pictures/import_screen_de.png</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>transfer successful, %1 retries</source>
        <translation>Übertragung erfolgreich, %1 Versuche</translation>
    </message>
    <message>
        <source>What the module held is saved in %1.</source>
        <translation>Der bisherige Inhalt des Moduls ist in %1 gesichert.</translation>
    </message>
    <message>
        <source>No backup could be saved: %1</source>
        <translation>Es konnte keine Sicherung gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The module already held these presets; nothing was written.</source>
        <translation>Das Modul enthielt diese Presets bereits; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Export done. Presets written: %1; writes repeated: %2.</source>
        <translation>Export fertig. Geschriebene Presets: %1; wiederholte Schreibvorgänge: %2.</translation>
    </message>
    <message>
        <source>Restore done. Presets written: %1; writes repeated: %2.</source>
        <translation>Wiederherstellen fertig. Geschriebene Presets: %1; wiederholte Schreibvorgänge: %2.</translation>
    </message>
    <message>
        <source>Read e&amp;verything twice (twice the reading time)</source>
        <translation>Alles &amp;zweimal lesen (doppelte Lesezeit)</translation>
    </message>
    <message>
        <source>Every preset is read twice. Without it, a reply the module sends unasked with content it stores nowhere (an edit buffer, sent by a button pressed on the module) can take the place of a lost reply unnoticed.</source>
        <translation>Jedes Preset wird zweimal gelesen. Ohne diese Einstellung kann eine unaufgeforderte Antwort des Moduls mit einem Inhalt, den es nirgends speichert (ein Bearbeitungspuffer, gesendet durch einen Tastendruck am Modul), unbemerkt an die Stelle einer verlorenen Antwort treten.</translation>
    </message>
    <message>
        <source>Backup: %1</source>
        <translation>Sicherung: %1</translation>
    </message>
    <message>
        <source>What it holds now is saved in %1.</source>
        <translation>Sein jetziger Inhalt ist in %1 gesichert.</translation>
    </message>
    <message>
        <source>Written without a backup.</source>
        <translation>Ohne Sicherung geschrieben.</translation>
    </message>
    <message>
        <source>The module shortens or changes these names and authors:</source>
        <translation>Das Modul kürzt oder ändert diese Namen und Autoren:</translation>
    </message>
    <message>
        <source>Write 1 preset without a backup? What it holds on the module now cannot be restored.</source>
        <translation>1 Preset ohne Sicherung schreiben? Sein jetziger Inhalt im Modul lässt sich dann nicht wiederherstellen.</translation>
    </message>
    <message>
        <source>Write %1 presets without a backup? What they hold on the module now cannot be restored.</source>
        <translation>%1 Presets ohne Sicherung schreiben? Ihr jetziger Inhalt im Modul lässt sich dann nicht wiederherstellen.</translation>
    </message>
    <message>
        <source>Write %1 to the module</source>
        <translation>%1 ins Modul schreiben</translation>
    </message>
    <message>
        <source>Left as the module holds them: %1 presets.</source>
        <translation>Gelassen, wie das Modul sie hat: %1 Presets.</translation>
    </message>
    <message>
        <source>1 preset in %1 will change on the module.</source>
        <translation>1 Preset in %1 wird im Modul geändert.</translation>
    </message>
    <message>
        <source>%1 presets in %2 will change on the module.</source>
        <translation>%1 Presets in %2 werden im Modul geändert.</translation>
    </message>
    <message>
        <source>The module shortens or changes these names: %1</source>
        <translation>Das Modul kürzt oder ändert diese Namen: %1</translation>
    </message>
    <message>
        <source>Transfer progress</source>
        <translation>Übertragungsfortschritt</translation>
    </message>
    <message>
        <source>Export to Orvex+</source>
        <translation>Export zum Orvex+</translation>
    </message>
    <message>
        <source>Import from Orvex+</source>
        <translation>Import vom Orvex+</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Write the backup %1 to the module</source>
        <translation>Die Sicherung %1 ins Modul schreiben</translation>
    </message>
    <message>
        <source>Read from Orvex+ to compare</source>
        <translation>Vom Orvex+ lesen, um zu vergleichen</translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation>&amp;Lesen</translation>
    </message>
    <message>
        <source>Restore to Orvex+: the backup of %1</source>
        <translation>Ins Orvex+ zurückschreiben: die Sicherung vom %1</translation>
    </message>
    <message>
        <source>No MIDI port could be opened to look for the module.</source>
        <translation>Kein MIDI-Port ließ sich öffnen, um das Modul zu suchen.</translation>
    </message>
    <message>
        <source>Looking for the module on every port…</source>
        <translation>Das Modul wird an jedem Port gesucht …</translation>
    </message>
    <message>
        <source>No module answered on any port. Is it switched on and connected both ways?</source>
        <translation>An keinem Port hat ein Modul geantwortet. Ist es eingeschaltet und in beide Richtungen verbunden?</translation>
    </message>
    <message>
        <source>The module answers on %1, but on no output tried: is its MIDI IN connected?</source>
        <translation>Das Modul antwortet an %1, aber auf keinen der versuchten Ausgänge: Ist sein MIDI IN verbunden?</translation>
    </message>
    <message>
        <source>Found the module %1 on %2.</source>
        <translation>Modul %1 an %2 gefunden.</translation>
    </message>
    <message>
        <source>Found the module %1 on %2 and %3.</source>
        <translation>Modul %1 an %2 und %3 gefunden.</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1 an %2</translation>
    </message>
    <message>
        <source>Also answering: %1. Choose their ports to use another.</source>
        <translation>Ebenfalls geantwortet: %1. Für ein anderes Modul dessen Ports wählen.</translation>
    </message>
    <message>
        <source>The chosen preset will change on the module.</source>
        <translation>Das gewählte Preset wird im Modul geändert.</translation>
    </message>
    <message>
        <source>%1 of the %2 chosen presets will change on the module.</source>
        <translation>%1 der %2 gewählten Presets werden im Modul geändert.</translation>
    </message>
    <message>
        <source>Stopped at %1</source>
        <translation>Angehalten bei %1</translation>
    </message>
</context>
<context>
    <name>MidiTransfer</name>
    <message>
        <source>bank %1, preset %2</source>
        <translation>Bank %1, Preset %2</translation>
    </message>
    <message>
        <source>the identify request</source>
        <translation>die Identifikationsanfrage</translation>
    </message>
    <message>
        <source>the request for %1</source>
        <translation>die Anfrage nach %1</translation>
    </message>
    <message>
        <source>the write of %1</source>
        <translation>das Schreiben von %1</translation>
    </message>
    <message>
        <source>Ports opened: in "%1", out "%2".</source>
        <translation>Anschlüsse geöffnet: Eingang „%1“, Ausgang „%2“.</translation>
    </message>
    <message>
        <source>The MIDI connection went away at %1; Retry opens the ports again when they are back.</source>
        <translation>Die MIDI-Verbindung ist bei %1 weggefallen; Wiederholen öffnet die Anschlüsse erneut, sobald sie wieder da sind.</translation>
    </message>
    <message>
        <source>The MIDI connection went away at %1.</source>
        <translation>Die MIDI-Verbindung ist bei %1 weggefallen.</translation>
    </message>
    <message>
        <source>The MIDI input &quot;%1&quot; went away at %2.</source>
        <translation>Der MIDI-Eingang „%1“ ist um %2 weggefallen.</translation>
    </message>
    <message>
        <source>The MIDI output &quot;%1&quot; went away at %2.</source>
        <translation>Der MIDI-Ausgang „%1“ ist um %2 weggefallen.</translation>
    </message>
    <message>
        <source>The MIDI ports &quot;%1&quot; and &quot;%2&quot; are back; Retry opens them again.</source>
        <translation>Die MIDI-Anschlüsse „%1“ und „%2“ sind wieder da; Wiederholen öffnet sie erneut.</translation>
    </message>
    <message>
        <source>Opening the ports &quot;%1&quot; and &quot;%2&quot; again.</source>
        <translation>Die Anschlüsse „%1“ und „%2“ werden erneut geöffnet.</translation>
    </message>
    <message>
        <source>Ports opened again: in &quot;%1&quot;, out &quot;%2&quot;.</source>
        <translation>Anschlüsse erneut geöffnet: Eingang „%1“, Ausgang „%2“.</translation>
    </message>
    <message>
        <source>Stopped waiting for the ports.</source>
        <translation>Warten auf die Anschlüsse beendet.</translation>
    </message>
    <message>
        <source>Waiting for the MIDI ports &quot;%1&quot; and &quot;%2&quot; to come back</source>
        <translation>Warte darauf, dass die MIDI-Anschlüsse „%1“ und „%2“ wieder da sind</translation>
    </message>
    <message>
        <source>Reading the chosen presets (%1), each twice to check the replies.</source>
        <translation>Lese die gewählten Presets (%1), jedes zweimal, um die Antworten zu prüfen.</translation>
    </message>
    <message>
        <source>Reading the whole module to check the replies; the chosen presets (%1) are kept.</source>
        <translation>Lese das ganze Modul, um die Antworten zu prüfen; die gewählten Presets (%1) werden übernommen.</translation>
    </message>
    <message>
        <source>Reading banks 1–%1 from the module; bank 1 only to check the replies.</source>
        <translation>Lese Bänke 1–%1 aus dem Modul; Bank 1 nur, um die Antworten zu prüfen.</translation>
    </message>
    <message>
        <source>Reading the chosen presets (%1) a second time.</source>
        <translation>Lese die gewählten Presets (%1) ein zweites Mal.</translation>
    </message>
    <message>
        <source>Importing banks 1–%1.</source>
        <translation>Importiere Bänke 1–%1.</translation>
    </message>
    <message>
        <source>Stop pressed; the transfer ends at the next reply.</source>
        <translation>Stopp gedrückt; die Übertragung endet bei der nächsten Antwort.</translation>
    </message>
    <message>
        <source>Starting the transfer again.</source>
        <translation>Die Übertragung beginnt von vorn.</translation>
    </message>
    <message>
        <source>Going on from %1.</source>
        <translation>Weiter ab %1.</translation>
    </message>
    <message>
        <source>Writing the presets that differ: %1.</source>
        <translation>Schreibe die abweichenden Presets: %1.</translation>
    </message>
    <message>
        <source>Nothing was written to the module.</source>
        <translation>Es wurde nichts in das Modul geschrieben.</translation>
    </message>
    <message>
        <source>Stopped at %1.</source>
        <translation>Angehalten bei %1.</translation>
    </message>
    <message>
        <source>Stopped at the check that closes the reading.</source>
        <translation>Angehalten bei der Prüfung, die das Lesen abschließt.</translation>
    </message>
    <message>
        <source>The module did not answer the check that closes the reading.</source>
        <translation>Das Modul hat auf die Prüfung, die das Lesen abschließt, nicht geantwortet.</translation>
    </message>
    <message>
        <source>%1 more</source>
        <translation>%1 weitere</translation>
    </message>
    <message>
        <source>The backup&apos;s originals of %1 come from a reading that a later check put in doubt.</source>
        <translation>Die Originale von %1 in der Sicherung stammen aus einem Lesen, das eine spätere Prüfung in Zweifel gezogen hat.</translation>
    </message>
    <message>
        <source>No answer to %1 within %2 s; sending it again (%3 of %4).</source>
        <translation>Keine Antwort auf %1 innerhalb von %2 s; sende erneut (%3 von %4).</translation>
    </message>
    <message>
        <source>The module did not answer. Check that it is switched on and connected to the chosen ports.</source>
        <translation>Das Modul hat nicht geantwortet. Prüfen Sie, ob es eingeschaltet und mit den gewählten Anschlüssen verbunden ist.</translation>
    </message>
    <message>
        <source>The module sent only damaged replies at %1.</source>
        <translation>Das Modul hat bei %1 nur beschädigte Antworten gesendet.</translation>
    </message>
    <message>
        <source>The module stopped answering at %1.</source>
        <translation>Das Modul hat bei %1 aufgehört zu antworten.</translation>
    </message>
    <message>
        <source>A late reply was dropped.</source>
        <translation>Eine verspätete Antwort wurde verworfen.</translation>
    </message>
    <message>
        <source>A reply nobody asked for was ignored.</source>
        <translation>Eine nicht angeforderte Antwort wurde ignoriert.</translation>
    </message>
    <message>
        <source>An unexpected reply was ignored.</source>
        <translation>Eine unerwartete Antwort wurde ignoriert.</translation>
    </message>
    <message>
        <source>Damaged preset data for %1 was dropped.</source>
        <translation>Beschädigte Presetdaten für %1 wurden verworfen.</translation>
    </message>
    <message>
        <source>Connected: serial %1, firmware %2.</source>
        <translation>Verbunden: Seriennummer %1, Firmware %2.</translation>
    </message>
    <message>
        <source>Bank %1, preset %2 read back different; writing it again (%3 of %4).</source>
        <translation>Bank %1, Preset %2 wurde abweichend zurückgelesen; schreibe erneut (%3 von %4).</translation>
    </message>
    <message>
        <source>Presets that differ from the module: %1.</source>
        <translation>Presets, die vom Modul abweichen: %1.</translation>
    </message>
    <message>
        <source>Checking one preset of each bank again.</source>
        <translation>Prüfe je ein Preset jeder Bank erneut.</translation>
    </message>
    <message>
        <source>Export done. Presets written: %1.</source>
        <translation>Export fertig. Geschriebene Presets: %1.</translation>
    </message>
    <message>
        <source>Import done.</source>
        <translation>Import fertig.</translation>
    </message>
    <message>
        <source>Reading every chosen preset twice (%1), as Read everything twice asks.</source>
        <translation>Jedes gewählte Preset wird zweimal gelesen (%1), wie „Alles zweimal lesen“ es verlangt.</translation>
    </message>
    <message>
        <source>Restore done. Presets written: %1.</source>
        <translation>Wiederherstellen fertig. Geschriebene Presets: %1.</translation>
    </message>
    <message>
        <source>Read done.</source>
        <translation>Lesen fertig.</translation>
    </message>
    <message>
        <source>Bank %1 · preset %2 of %3</source>
        <translation>Bank %1 · Preset %2 von %3</translation>
    </message>
    <message>
        <source> · about %1:%2 left</source>
        <translation> · noch etwa %1:%2</translation>
    </message>
    <message>
        <source>1 preset was written and read back right.</source>
        <translation>1 Preset wurde geschrieben und richtig zurückgelesen.</translation>
    </message>
    <message>
        <source>%1 presets were written and read back right.</source>
        <translation>%1 Presets wurden geschrieben und richtig zurückgelesen.</translation>
    </message>
    <message>
        <source>The write of 1 more preset went out but was not read back.</source>
        <translation>Das Schreiben 1 weiteren Presets wurde gesendet, aber nicht zurückgelesen.</translation>
    </message>
    <message>
        <source>The writes of %1 more presets went out but were not read back.</source>
        <translation>Das Schreiben %1 weiterer Presets wurde gesendet, aber nicht zurückgelesen.</translation>
    </message>
    <message>
        <source>Nothing more was written to the module.</source>
        <translation>Es wurde nichts weiter in das Modul geschrieben.</translation>
    </message>
    <message>
        <source>A message for another device was ignored.</source>
        <translation>Eine Nachricht für ein anderes Gerät wurde übergangen.</translation>
    </message>
    <message>
        <source>Not in banks %1: their presets are all alike, so replies out of step cannot change them.</source>
        <translation>Nicht in den Bänken %1: Ihre Presets gleichen sich alle, verschobene Antworten können dort nichts ändern.</translation>
    </message>
    <message>
        <source>What the module held is saved in %1.</source>
        <translation>Der bisherige Inhalt des Moduls ist in %1 gesichert.</translation>
    </message>
    <message>
        <source>No backup could be saved: %1</source>
        <translation>Es konnte keine Sicherung gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Writing the presets that differ, without a backup: %1.</source>
        <translation>Die abweichenden Presets werden ohne Sicherung geschrieben: %1.</translation>
    </message>
    <message>
        <source>Bank %1, preset %2 did not take the write %3 times and may now hold a damaged preset.</source>
        <translation>Bank %1, Preset %2 hat das Schreiben %3-mal nicht angenommen und enthält jetzt womöglich ein beschädigtes Preset.</translation>
    </message>
    <message>
        <source>The module's replies went out of step: %1 read differently the second time.</source>
        <translation>Die Antworten des Moduls sind verschoben: %1 wurde beim zweiten Mal anders gelesen.</translation>
    </message>
    <message>
        <source>The module's replies went out of step: it sent preset data nobody asked for.</source>
        <translation>Die Antworten des Moduls sind verschoben: Es hat Presetdaten geschickt, nach denen niemand gefragt hat.</translation>
    </message>
    <message>
        <source>Nothing was imported.</source>
        <translation>Es wurde nichts importiert.</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Export again to be sure of what the module holds.</source>
        <translation>Exportieren Sie erneut, um sicher zu sein, was das Modul enthält.</translation>
    </message>
    <message>
        <source>What the module held before is saved in %1.</source>
        <translation>Der vorherige Inhalt des Moduls ist in %1 gesichert.</translation>
    </message>
    <message>
        <source>Writing %1 of %2: bank %3, preset %4</source>
        <translation>Schreibe %1 von %2: Bank %3, Preset %4</translation>
    </message>
    <message>
        <source>Checking bank %1 again</source>
        <translation>Prüfe Bank %1 erneut</translation>
    </message>
    <message>
        <source>Making sure no reply is left over</source>
        <translation>Prüfe, dass keine Antwort übrig ist</translation>
    </message>
    <message>
        <source> · no answer yet, asking again (%1 of %2)</source>
        <translation> · noch keine Antwort, frage erneut (%1 von %2)</translation>
    </message>
    <message>
        <source>Waiting for its answer until %1.</source>
        <translation>Warte auf die Antwort bis %1.</translation>
    </message>
    <message>
        <source>Waiting until %1 for late replies before %2.</source>
        <translation>Warte bis %1 auf verspätete Antworten; danach folgt %2.</translation>
    </message>
    <message>
        <source>waiting %1 s for late replies before %2</source>
        <translation>warte %1 s auf verspätete Antworten, dann folgt %2</translation>
    </message>
    <message>
        <source>the module</source>
        <translation>das Modul</translation>
    </message>
    <message>
        <source>%1 did not answer; giving up in %2 s unless it does</source>
        <translation>%1 hat nicht geantwortet; Abbruch in %2 s, falls keine Antwort kommt</translation>
    </message>
    <message>
        <source>%1 did not answer; asking again in %2 s (%3 of %4)</source>
        <translation>%1 hat nicht geantwortet; neue Anfrage in %2 s (%3 von %4)</translation>
    </message>
    <message>
        <source>Choose a MIDI input and a MIDI output.</source>
        <translation>Wählen Sie einen MIDI-Eingang und einen MIDI-Ausgang.</translation>
    </message>
    <message>
        <source>the MIDI input "%1"</source>
        <translation>den MIDI-Eingang „%1“</translation>
    </message>
    <message>
        <source>the MIDI output "%1"</source>
        <translation>den MIDI-Ausgang „%1“</translation>
    </message>
    <message>
        <source>Cannot open %1.</source>
        <translation>Kann %1 nicht öffnen.</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>Bank %1, preset %2 did not take the write %3 times.</source>
        <translation>Bank %1, Preset %2 hat das Schreiben %3-mal nicht übernommen.</translation>
    </message>
    <message>
        <source>The module's replies went out of step: %1 read differently the second time. Export again to be sure of what the module holds.</source>
        <translation>Die Antworten des Moduls sind aus dem Takt geraten: %1 wurde beim zweiten Lesen anders gelesen. Exportieren Sie erneut, um sicherzugehen, was das Modul enthält.</translation>
    </message>
    <message>
        <source>The module's replies went out of step: %1 read differently the second time. Nothing was imported.</source>
        <translation>Die Antworten des Moduls sind aus dem Takt geraten: %1 wurde beim zweiten Lesen anders gelesen. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <source>Retry %1: still no answer.</source>
        <translation>Wiederholung %1: noch immer keine Antwort.</translation>
    </message>
    <message>
        <source>Retry %1: still only damaged replies.</source>
        <translation>Wiederholung %1: noch immer nur beschädigte Antworten.</translation>
    </message>
    <message>
        <source>Retry %1:</source>
        <translation>Wiederholung %1:</translation>
    </message>
</context>
<context>
    <name>TransferBackup</name>
    <message>
        <source>Cannot make the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Bank %1, preset %2: "%3" becomes "%4"</source>
        <translation>Bank %1, Preset %2: „%3“ wird zu „%4“</translation>
    </message>
    <message>
        <source>Bank %1, preset %2: author "%3" becomes "%4"</source>
        <translation>Bank %1, Preset %2: Autor „%3“ wird zu „%4“</translation>
    </message>
</context>
<context>
    <name>TransferLogPanel</name>
    <message>
        <source>Show or hide the transfer's log</source>
        <translation>Das Protokoll der Übertragung zeigen oder verbergen</translation>
    </message>
    <message>
        <source>Copy the whole log to the clipboard</source>
        <translation>Das ganze Protokoll in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Save the log to a text file</source>
        <translation>Das Protokoll in einer Textdatei speichern</translation>
    </message>
    <message>
        <source>Transfer log</source>
        <translation>Übertragungsprotokoll</translation>
    </message>
    <message>
        <source>One line per event, with its time</source>
        <translation>Eine Zeile je Ereignis, mit Uhrzeit</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Protokoll</translation>
    </message>
    <message>
        <source>Co&amp;py</source>
        <translation>Kopie&amp;ren</translation>
    </message>
    <message>
        <source>S&amp;ave...</source>
        <translation>Spei&amp;chern...</translation>
    </message>
    <message>
        <source>Save the log</source>
        <translation>Protokoll speichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Orvex+ Preset Manager</source>
        <translation>Orvex+ Preset Manager</translation>
    </message>
</context>
<context>
    <name>TransferStatusPanel</name>
    <message>
        <source>Transfer status</source>
        <translation>Stand der Übertragung</translation>
    </message>
    <message>
        <source>How the transfer goes; the text can be selected and copied</source>
        <translation>Wie die Übertragung läuft; der Text lässt sich markieren und kopieren</translation>
    </message>
    <message>
        <source>Stop the transfer at the module's next reply</source>
        <translation>Die Übertragung bei der nächsten Antwort des Moduls anhalten</translation>
    </message>
    <message>
        <source>Carry on from where the transfer stopped</source>
        <translation>Die Übertragung dort fortsetzen, wo sie angehalten hat</translation>
    </message>
    <message>
        <source>Write the changed presets to the module</source>
        <translation>Die geänderten Presets in das Modul schreiben</translation>
    </message>
    <message>
        <source>Leave the module as it is</source>
        <translation>Das Modul unverändert lassen</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <source>Retr&amp;y</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>&amp;Schreiben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Write without &amp;backup…</source>
        <translation>&amp;Ohne Sicherung schreiben…</translation>
    </message>
    <message>
        <source>&amp;Write without backup</source>
        <translation>&amp;Ohne Sicherung schreiben</translation>
    </message>
    <message>
        <source>Go on although what the module holds could not be saved</source>
        <translation>Fortfahren, obwohl der Inhalt des Moduls nicht gesichert werden konnte</translation>
    </message>
    <message>
        <source>Write the changed presets to the module without a backup</source>
        <translation>Die geänderten Presets ohne Sicherung in das Modul schreiben</translation>
    </message>
</context>
<context>
    <name>PresetGrid</name>
    <message>
        <source>Load a preset file or import the banks from the module</source>
        <translation>Laden Sie eine Preset-Datei oder importieren Sie die Bänke aus dem Modul</translation>
    </message>
</context>
<context>
    <name>PresetCellDelegate</name>
    <message>
        <source>Bank %1 · preset %2</source>
        <translation>Bank %1 · Preset %2</translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation>Preset-Name</translation>
    </message>
</context>
<context>
    <name>SearchBar</name>
    <message>
        <source>Search (Ctrl+F)</source>
        <translation>Suchen (Strg+F)</translation>
    </message>
    <message>
        <source>Search name, author or category (Ctrl+F)</source>
        <translation>Name, Autor oder Kategorie suchen (Strg+F)</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>Nothing found</source>
        <translation>Nichts gefunden</translation>
    </message>
    <message>
        <source>%1 found</source>
        <translation>%1 gefunden</translation>
    </message>
    <message>
        <source>Search presets</source>
        <translation>Presets suchen</translation>
    </message>
    <message>
        <source>Marks every preset whose name, author or category holds the text; Return steps to the next</source>
        <translation>Markiert jedes Preset, dessen Name, Autor oder Kategorie den Text enthält; Eingabe springt zum nächsten</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>Vorheriger Treffer</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>Nächster Treffer</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Suche löschen</translation>
    </message>
    <message>
        <source>Clear the search (Escape)</source>
        <translation>Suche löschen (Escape)</translation>
    </message>
</context>
<context>
    <name>BankSheet</name>
    <message>
        <source>Bank %1 (factory)</source>
        <translation>Bank %1 (Werk)</translation>
    </message>
    <message>
        <source>Bank %1</source>
        <translation>Bank %1</translation>
    </message>
    <message>
        <source>from the module</source>
        <translation>aus dem Modul</translation>
    </message>
    <message>
        <source>from the module, serial %1</source>
        <translation>aus dem Modul, Seriennummer %1</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
</context>
<context>
    <name>MidiFile</name>
    <message>
        <source>Track %1 is damaged: a time or length runs past its end or is too long.</source>
        <translation>Spur %1 ist beschädigt: Eine Zeit- oder Längenangabe reicht über ihr Ende hinaus oder ist zu lang.</translation>
    </message>
    <message>
        <source>Track %1 ends in the middle of an event.</source>
        <translation>Spur %1 endet mitten in einem Ereignis.</translation>
    </message>
    <message>
        <source>Track %1 is damaged: an event&apos;s length reaches past the end of the track.</source>
        <translation>Spur %1 ist beschädigt: Die Länge eines Ereignisses reicht über das Ende der Spur hinaus.</translation>
    </message>
    <message>
        <source>Track %1 is damaged: it holds a status byte that a MIDI file can&apos;t hold.</source>
        <translation>Spur %1 ist beschädigt: Sie enthält ein Statusbyte, das in einer MIDI-Datei nicht vorkommen kann.</translation>
    </message>
    <message>
        <source>Track %1 is damaged: an event has no status.</source>
        <translation>Spur %1 ist beschädigt: Ein Ereignis hat keinen Status.</translation>
    </message>
    <message>
        <source>The file is cut off: a chunk&apos;s length reaches past the end of the file.</source>
        <translation>Die Datei ist abgeschnitten: Die Länge eines Abschnitts reicht über das Dateiende hinaus.</translation>
    </message>
    <message>
        <source>The RIFF file holds no MIDI data.</source>
        <translation>Die RIFF-Datei enthält keine MIDI-Daten.</translation>
    </message>
    <message>
        <source>This is not a Standard MIDI File: its header is missing or damaged.</source>
        <translation>Dies ist keine Standard-MIDI-Datei: Ihr Kopf fehlt oder ist beschädigt.</translation>
    </message>
    <message>
        <source>The MIDI file is of format %1, which no MIDI file has.</source>
        <translation>Die MIDI-Datei hat das Format %1, das es für MIDI-Dateien nicht gibt.</translation>
    </message>
    <message>
        <source>The file is cut off: its header announces %1 tracks, it holds %2.</source>
        <translation>Die Datei ist abgeschnitten: Ihr Kopf kündigt %1 Spuren an, sie enthält %2.</translation>
    </message>
    <message>
        <source>The MIDI file holds no SysEx message.</source>
        <translation>Die MIDI-Datei enthält keine SysEx-Nachricht.</translation>
    </message>
</context>
<context>
    <name>SyxFile</name>
    <message>
        <source>The file is not a regular file (a pipe or a device).</source>
        <translation>Die Datei ist keine gewöhnliche Datei (eine Pipe oder ein Gerät).</translation>
    </message>
    <message>
        <source>The file can't be opened for reading.</source>
        <translation>Die Datei kann nicht zum Lesen geöffnet werden.</translation>
    </message>
    <message>
        <source>The file is too large to be a preset dump.</source>
        <translation>Die Datei ist zu groß für eine Preset-Sicherung.</translation>
    </message>
    <message>
        <source>Nothing to save: the factory bank is never written to a SysEx file.</source>
        <translation>Nichts zu speichern: Die Werksbank wird nie in eine SysEx-Datei geschrieben.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>This is not a SysEx file: it holds no SysEx message.</source>
        <translation>Dies ist keine SysEx-Datei: Sie enthält keine SysEx-Nachricht.</translation>
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
        <translation>Übersprungene Orvex+-Nachrichten ohne Preset: %1.</translation>
    </message>
    <message>
        <source>Damaged or incomplete messages skipped: %1.</source>
        <translation>Übersprungene beschädigte oder unvollständige Nachrichten: %1.</translation>
    </message>
    <message>
        <source>MIDI events without SysEx skipped: %1.</source>
        <translation>Übersprungene MIDI-Ereignisse ohne SysEx: %1.</translation>
    </message>
    <message>
        <source>%1 can&apos;t be loaded.
%2</source>
        <translation>%1 kann nicht geladen werden.
%2</translation>
    </message>
    <message>
        <source>Presets of the factory bank left out: %1.</source>
        <translation>Ausgelassene Presets der Werksbank: %1.</translation>
    </message>
    <message>
        <source>Names longer than 32 characters or with characters outside ASCII (cut or changed): %1.</source>
        <translation>Namen länger als 32 Zeichen oder mit Zeichen außerhalb von ASCII (gekürzt oder geändert): %1.</translation>
    </message>
    <message>
        <source>Authors longer than 32 characters or with characters outside ASCII (cut or changed): %1.</source>
        <translation>Autoren länger als 32 Zeichen oder mit Zeichen außerhalb von ASCII (gekürzt oder geändert): %1.</translation>
    </message>
</context>
<context>
    <name>SyxLoad</name>
    <message>
        <source>Put each preset where the file says</source>
        <translation>Jedes Preset an die Stelle, die die Datei nennt</translation>
    </message>
    <message>
        <source>Keep the presets' order and move them so their first bank lands here</source>
        <translation>Die Reihenfolge der Presets beibehalten und sie so verschieben, dass ihre erste Bank hier landet</translation>
    </message>
    <message>
        <source>Target bank</source>
        <translation>Ziel-Bank</translation>
    </message>
    <message>
        <source>The user bank the first bank of the file goes to</source>
        <translation>Die Benutzerbank, in die die erste Bank der Datei kommt</translation>
    </message>
    <message>
        <source>First bank</source>
        <translation>Erste Bank</translation>
    </message>
    <message>
        <source>The user bank for the first preset without a position</source>
        <translation>Die Benutzerbank für das erste Preset ohne Position</translation>
    </message>
    <message>
        <source>First preset</source>
        <translation>Erstes Preset</translation>
    </message>
    <message>
        <source>Its place in that bank; the others follow in order</source>
        <translation>Seine Stelle in dieser Bank; die anderen folgen der Reihe nach</translation>
    </message>
    <message>
        <source>Load the presets as said above</source>
        <translation>Die Presets wie oben angegeben laden</translation>
    </message>
    <message>
        <source>Load nothing</source>
        <translation>Nichts laden</translation>
    </message>
    <message>
        <source>Load SysEx file</source>
        <translation>SysEx-Datei laden</translation>
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
        <source>&amp;to the positions the file names</source>
        <translation>an &amp;die in der Datei genannten Positionen</translation>
    </message>
    <message>
        <source>&amp;into bank:</source>
        <translation>&amp;in Bank:</translation>
    </message>
    <message>
        <source>Presets without a position, in order from</source>
        <translation>Presets ohne Position, der Reihe nach ab</translation>
    </message>
    <message>
        <source>&amp;Bank:</source>
        <translation>&amp;Bank:</translation>
    </message>
    <message>
        <source>&amp;Preset:</source>
        <translation>&amp;Preset:</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;Ok</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
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
        <source>Same sound as &quot;%1&quot;</source>
        <translation>Gleicher Klang wie „%1“</translation>
    </message>
    <message>
        <source>Waiting for another program's update of the library to end…</source>
        <translation>Warten, bis ein anderes Programm die Bibliothek fertig aktualisiert hat …</translation>
    </message>
    <message>
        <source>Search the library</source>
        <translation>Bibliothek durchsuchen</translation>
    </message>
    <message>
        <source>Not readable, presets kept: %1</source>
        <translation>Nicht lesbar, Presets bleiben: %1</translation>
    </message>
    <message>
        <source>The library is not completely indexed yet: more may be found once it is.</source>
        <translation>Die Bibliothek ist noch nicht vollständig erfasst: Danach kann mehr gefunden werden.</translation>
    </message>
    <message>
        <source>Finds presets in every indexed file by name, author or category</source>
        <translation>Findet Presets in allen erfassten Dateien nach Name, Autor oder Kategorie</translation>
    </message>
    <message>
        <source>Library results</source>
        <translation>Treffer der Bibliothek</translation>
    </message>
    <message>
        <source>Drag results onto a user cell of the table, or send them to the selected cell</source>
        <translation>Treffer auf eine Benutzerzelle der Tabelle ziehen oder an die ausgewählte Zelle senden</translation>
    </message>
    <message>
        <source>Choose the folders the library reads</source>
        <translation>Die Ordner wählen, die die Bibliothek liest</translation>
    </message>
    <message>
        <source>Put the selected results into the table from its selected cell on</source>
        <translation>Die ausgewählten Treffer ab der ausgewählten Zelle in die Tabelle setzen</translation>
    </message>
    <message>
        <source>List the files that could not be read, and why</source>
        <translation>Die Dateien auflisten, die nicht gelesen werden konnten, und warum</translation>
    </message>
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
        <source>F&amp;olders</source>
        <translation>&amp;Ordner</translation>
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
        <source>No file in the library holds the sound of "%1".</source>
        <translation>Keine Datei der Bibliothek enthält den Klang von "%1".</translation>
    </message>
    <message>
        <source>Opening the library...</source>
        <translation>Bibliothek wird geöffnet ...</translation>
    </message>
    <message>
        <source>Places holding the sound of "%1": %2</source>
        <translation>Stellen mit dem Klang von "%1": %2</translation>
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
        <source>Remove "%1"</source>
        <translation>"%1" entfernen</translation>
    </message>
    <message>
        <source>Search name, author, category</source>
        <translation>Name, Autor, Kategorie suchen</translation>
    </message>
    <message>
        <source>&amp;Send to selected cell</source>
        <translation>An gewählte Zelle &amp;senden</translation>
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
        <source>&amp;Where else is this sound?</source>
        <translation>&amp;Wo gibt es diesen Klang noch?</translation>
    </message>
    <message>
        <source>"%1" has changed since it was read; the library is being updated.</source>
        <translation>"%1" wurde seit dem Einlesen geändert; die Bibliothek wird aktualisiert.</translation>
    </message>
    <message>
        <source>The library database came from an older version of the program and has been rebuilt from the files.</source>
        <translation>Die Datenbank der Bibliothek stammte von einer älteren Version des Programms und wurde aus den Dateien neu aufgebaut.</translation>
    </message>
    <message>
        <source>The folder "%1" could not be added to the library: %2</source>
        <translation>Der Ordner "%1" konnte nicht zur Bibliothek hinzugefügt werden: %2</translation>
    </message>
    <message>
        <source>The folder "%1" could not be removed from the library: %2</source>
        <translation>Der Ordner "%1" konnte nicht aus der Bibliothek entfernt werden: %2</translation>
    </message>
    <message>
        <source>Clear the library search</source>
        <translation>Bibliothekssuche löschen</translation>
    </message>
    <message>
        <source>Library update progress</source>
        <translation>Fortschritt der Bibliotheksaktualisierung</translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation>%1, in %2</translation>
    </message>
</context>
<context>
    <name>LibraryDatabase</name>
    <message>
        <source>A stored row of the library database fails its check.</source>
        <translation>Eine gespeicherte Zeile der Datenbank der Bibliothek besteht ihre Prüfung nicht.</translation>
    </message>
    <message>
        <source>The library database was made by a newer version of the program; this version leaves it unchanged.</source>
        <translation>Die Datenbank der Bibliothek wurde von einer neueren Version des Programms angelegt; diese Version lässt sie unverändert.</translation>
    </message>
    <message>
        <source>The library database was made by an older version of the program.</source>
        <translation>Die Datenbank der Bibliothek wurde von einer älteren Version des Programms angelegt.</translation>
    </message>
    <message>
        <source>The library database does not exist yet.</source>
        <translation>Die Datenbank der Bibliothek existiert noch nicht.</translation>
    </message>
    <message>
        <source>The library database is not ready.</source>
        <translation>Die Datenbank der Bibliothek ist nicht bereit.</translation>
    </message>
</context>
<context>
    <name>ExportPreview</name>
    <message>
        <source>Sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>Text only</source>
        <translation>Nur Text</translation>
    </message>
    <message>
        <source>Name: %1</source>
        <translation>Name: %1</translation>
    </message>
    <message>
        <source>Author: %1</source>
        <translation>Autor: %1</translation>
    </message>
    <message>
        <source>The module holds 32 characters of printable ASCII per text: %1</source>
        <translation>Das Modul speichert je Text 32 druckbare ASCII-Zeichen: %1</translation>
    </message>
    <message>
        <source>Bank · preset</source>
        <translation>Bank · Preset</translation>
    </message>
    <message>
        <source>On the module now</source>
        <translation>Jetzt im Modul</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Replaced by</source>
        <translation>Ersetzt durch</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>The module keeps</source>
        <translation>Das Modul behält</translation>
    </message>
</context>
<context>
    <name>ExportPreviewPanel</name>
    <message>
        <source>Presets that will change</source>
        <translation>Presets, die sich ändern</translation>
    </message>
    <message>
        <source>Untick a preset to leave it as the module holds it; Space ticks or unticks the selected rows; click a heading to sort</source>
        <translation>Ein Preset abwählen, um es zu lassen, wie das Modul es hat; die Leertaste wählt die markierten Zeilen an oder ab; eine Überschrift sortiert</translation>
    </message>
    <message>
        <source>Write every preset listed</source>
        <translation>Jedes aufgeführte Preset schreiben</translation>
    </message>
    <message>
        <source>Write none of them; tick the ones to write</source>
        <translation>Keines schreiben; die zu schreibenden ankreuzen</translation>
    </message>
    <message>
        <source>&amp;Tick all</source>
        <translation>Alle an&amp;kreuzen</translation>
    </message>
    <message>
        <source>&amp;Untick all</source>
        <translation>Alle ab&amp;wählen</translation>
    </message>
    <message>
        <source>Untick a preset to leave it as the module holds it; Space unticks the selected rows.</source>
        <translation>Ein Preset abwählen, um es zu lassen, wie das Modul es hat; die Leertaste wählt die markierten Zeilen ab.</translation>
    </message>
    <message>
        <source>%1 of %2 ticked: the others stay as the module holds them.</source>
        <translation>%1 von %2 angekreuzt: die übrigen bleiben, wie das Modul sie hat.</translation>
    </message>
    <message>
        <source>Tick the %1 selected</source>
        <translation>Die %1 markierten ankreuzen</translation>
    </message>
    <message>
        <source>Untick the %1 selected</source>
        <translation>Die %1 markierten abwählen</translation>
    </message>
    <message>
        <source>Tick bank %1</source>
        <translation>Bank %1 ankreuzen</translation>
    </message>
    <message>
        <source>Untick bank %1</source>
        <translation>Bank %1 abwählen</translation>
    </message>
</context>
<context>
    <name>CompareBar</name>
    <message>
        <source>Previous preset that differs</source>
        <translation>Vorheriges abweichendes Preset</translation>
    </message>
    <message>
        <source>Previous difference</source>
        <translation>Vorherige Abweichung</translation>
    </message>
    <message>
        <source>Next preset that differs</source>
        <translation>Nächstes abweichendes Preset</translation>
    </message>
    <message>
        <source>Next difference</source>
        <translation>Nächste Abweichung</translation>
    </message>
    <message>
        <source>End comparison</source>
        <translation>Vergleich beenden</translation>
    </message>
    <message>
        <source>Hide the marks and the comparison panel</source>
        <translation>Markierungen und Vergleichsleiste ausblenden</translation>
    </message>
    <message>
        <source>No preset differs from %1</source>
        <translation>Kein Preset weicht von %1 ab</translation>
    </message>
    <message>
        <source>1 preset differs from %1</source>
        <translation>1 Preset weicht von %1 ab</translation>
    </message>
    <message>
        <source>%1 presets differ from %2</source>
        <translation>%1 Presets weichen von %2 ab</translation>
    </message>
    <message>
        <source>1 of 1 preset that differs from %1</source>
        <translation>1 von 1 Preset, das von %1 abweicht</translation>
    </message>
    <message>
        <source>%1 of %2 presets that differ from %3</source>
        <translation>%1 von %2 Presets, die von %3 abweichen</translation>
    </message>
    <message>
        <source>No more differences after this one</source>
        <translation>Danach keine weitere Abweichung</translation>
    </message>
    <message>
        <source>No more differences before this one</source>
        <translation>Davor keine weitere Abweichung</translation>
    </message>
</context>
<context>
    <name>ComparePanel</name>
    <message>
        <source>Compare</source>
        <translation>Vergleich</translation>
    </message>
    <message>
        <source>This document</source>
        <translation>Dieses Dokument</translation>
    </message>
    <message>
        <source>Theirs</source>
        <translation>Andere Fassung</translation>
    </message>
    <message>
        <source>Compared with %1</source>
        <translation>Verglichen mit %1</translation>
    </message>
    <message>
        <source>Take theirs</source>
        <translation>Andere Fassung übernehmen</translation>
    </message>
    <message>
        <source>Put their version of this preset in the document (one undo step)</source>
        <translation>Die andere Fassung dieses Presets ins Dokument übernehmen (ein Rückgängig-Schritt)</translation>
    </message>
    <message>
        <source>the same</source>
        <translation>gleich</translation>
    </message>
    <message>
        <source>not compared</source>
        <translation>nicht verglichen</translation>
    </message>
    <message>
        <source>a different sound</source>
        <translation>anderer Klang</translation>
    </message>
    <message>
        <source>same sound, other text</source>
        <translation>gleicher Klang, anderer Text</translation>
    </message>
    <message>
        <source>Bank %1 · preset %2: %3</source>
        <translation>Bank %1 · Preset %2: %3</translation>
    </message>
    <message>
        <source>Sound differs in %1 of 128 values</source>
        <translation>Klang weicht in %1 von 128 Werten ab</translation>
    </message>
    <message>
        <source>Same sound</source>
        <translation>Gleicher Klang</translation>
    </message>
    <message>
        <source>(nothing here)</source>
        <translation>(hier nichts)</translation>
    </message>
    <message>
        <source>damaged in the other file</source>
        <translation>in der anderen Datei beschädigt</translation>
    </message>
    <message>
        <source>(damaged data: nothing to take)</source>
        <translation>(beschädigte Daten: nichts zu übernehmen)</translation>
    </message>
    <message>
        <source>Select a preset in the table.</source>
        <translation>Bitte ein Preset in der Tabelle wählen.</translation>
    </message>
</context>
<context>
    <name>CompareController</name>
    <message>
        <source>%1 holds no bank.</source>
        <translation>%1 enthält keine Bank.</translation>
    </message>
</context>
<context>
    <name>BackupCatalog</name>
    <message>
        <source>1 old backup was removed.</source>
        <translation>1 alte Sicherung wurde entfernt.</translation>
    </message>
    <message>
        <source>%1 old backups were removed.</source>
        <translation>%1 alte Sicherungen wurden entfernt.</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>%1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>%1 holds %2 banks, not the 15 of a backup.</source>
        <translation>%1 enthält %2 Bänke, nicht die 15 einer Sicherung.</translation>
    </message>
    <message>
        <source>%1 holds 1 bank, not the 15 of a backup.</source>
        <translation>%1 enthält 1 Bank, nicht die 15 einer Sicherung.</translation>
    </message>
    <message>
        <source>%1 is a SysEx file, not a backup.</source>
        <translation>%1 ist eine SysEx-Datei, keine Sicherung.</translation>
    </message>
    <message>
        <source>%1 lacks 1 of its presets or holds it damaged (bank · preset %2).</source>
        <translation>%1 fehlt 1 ihrer Presets, oder es ist beschädigt (Bank · Preset %2).</translation>
    </message>
    <message>
        <source>%1 lacks %2 of its presets or holds them damaged (bank · preset %3).</source>
        <translation>%1 fehlen %2 ihrer Presets, oder sie sind beschädigt (Bank · Preset %3).</translation>
    </message>
    <message>
        <source>Nothing is written from it: the module keeps what it holds.</source>
        <translation>Aus ihr wird nichts geschrieben: Das Modul behält, was es hält.</translation>
    </message>
</context>
<context>
    <name>BackupsDialog</name>
    <message>
        <source>The serial number as the module shows it</source>
        <translation>Die Seriennummer, wie das Modul sie anzeigt</translation>
    </message>
    <message>
        <source>Backups of the module</source>
        <translation>Sicherungen des Moduls</translation>
    </message>
    <message>
        <source>%1 (%2 damaged or missing)</source>
        <translation>%1 (%2 beschädigt oder fehlend)</translation>
    </message>
    <message>
        <source>Each export saves what it overwrites in %1.</source>
        <translation>Jeder Export sichert, was er überschreibt, in %1.</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>Made</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Module serial</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Differ from the document</source>
        <translation>Abweichend vom Dokument</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>No backups yet: an export makes one before it writes.</source>
        <translation>Noch keine Sicherungen: ein Export legt eine an, bevor er schreibt.</translation>
    </message>
    <message>
        <source>&amp;Compare</source>
        <translation>&amp;Vergleichen</translation>
    </message>
    <message>
        <source>Mark in the table the presets that differ from this backup</source>
        <translation>Die Presets, die von dieser Sicherung abweichen, in der Tabelle markieren</translation>
    </message>
    <message>
        <source>&amp;Restore…</source>
        <translation>&amp;Wiederherstellen…</translation>
    </message>
    <message>
        <source>Write this backup to the module, after a preview of every change</source>
        <translation>Diese Sicherung ins Modul schreiben, nach einer Vorschau jeder Änderung</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>unlesbar</translation>
    </message>
    <message>
        <source>Covers</source>
        <translation>Umfasst</translation>
    </message>
    <message>
        <source>%1 (export cancelled, nothing written)</source>
        <translation>%1 (Export abgebrochen, nichts geschrieben)</translation>
    </message>
    <message>
        <source>The export this backup was made for was cancelled before it wrote anything.</source>
        <translation>Der Export, für den diese Sicherung gemacht wurde, wurde abgebrochen, bevor er etwas schrieb.</translation>
    </message>
</context>
<context>
    <name>BackupTexts</name>
    <message>
        <source>d MMM yyyy, HH:mm</source>
        <translation>d. MMM yyyy, HH:mm</translation>
    </message>
    <message>
        <source>all user banks</source>
        <translation>alle Benutzerbänke</translation>
    </message>
    <message>
        <source>bank %1</source>
        <translation>Bank %1</translation>
    </message>
    <message>
        <source>banks %1</source>
        <translation>Bänke %1</translation>
    </message>
    <message>
        <source>1 preset</source>
        <translation>1 Preset</translation>
    </message>
    <message>
        <source>%1 presets</source>
        <translation>%1 Presets</translation>
    </message>
</context>
<context>
    <name>ExportChoice</name>
    <message>
        <source>banks 2–16</source>
        <translation>Bänken 2–16</translation>
    </message>
    <message>
        <source>bank %1</source>
        <translation>Bank %1</translation>
    </message>
    <message>
        <source>1 chosen preset</source>
        <translation>1 gewählten Preset</translation>
    </message>
    <message>
        <source>%1 chosen presets</source>
        <translation>%1 gewählten Presets</translation>
    </message>
</context>
<context>
    <name>ExportChoiceBox</name>
    <message>
        <source>What to export</source>
        <translation>Was exportiert wird</translation>
    </message>
    <message>
        <source>Only these presets are read, compared, backed up and written</source>
        <translation>Nur diese Presets werden gelesen, verglichen, gesichert und geschrieben</translation>
    </message>
    <message>
        <source>All user banks (2–16)</source>
        <translation>Alle Benutzerbänke (2–16)</translation>
    </message>
    <message>
        <source>Bank %1</source>
        <translation>Bank %1</translation>
    </message>
    <message>
        <source>The selected preset</source>
        <translation>Das gewählte Preset</translation>
    </message>
    <message>
        <source>The %1 selected presets</source>
        <translation>Die %1 gewählten Presets</translation>
    </message>
</context>
<context>
    <name>RecoveryCopy</name>
    <message>
        <source>The recovery copy can't be written in %1: a crash would lose the unsaved changes. Trying again.</source>
        <translation>Die Sicherungskopie kann in %1 nicht geschrieben werden: ein Absturz würde die ungesicherten Änderungen verlieren. Neuer Versuch folgt.</translation>
    </message>
</context>
<context>
    <name>WholeFileWriter</name>
    <message>
        <source>%1 can&apos;t be opened for writing.</source>
        <translation>%1 kann nicht zum Schreiben geöffnet werden.</translation>
    </message>
    <message>
        <source>%1 can&apos;t be saved: its folder is read-only.</source>
        <translation>%1 kann nicht gespeichert werden: Der Ordner ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>%1 can&apos;t be written completely.</source>
        <translation>%1 kann nicht vollständig geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>PresetTable</name>
    <message>
        <source>1: Factory</source>
        <translation>1: Werk</translation>
    </message>
    <message>
        <source>%1: User</source>
        <translation>%1: Benutzer</translation>
    </message>
    <message>
        <source>bank %1, preset %2</source>
        <translation>Bank %1, Preset %2</translation>
    </message>
    <message>
        <source>Empty, %1</source>
        <translation>Leer, %1</translation>
    </message>
    <message>
        <source>Unnamed</source>
        <translation>Ohne Namen</translation>
    </message>
</context>
</TS>
