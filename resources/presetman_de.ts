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
</TS>
