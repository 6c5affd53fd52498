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
    <message>
        <source>What the module held is saved in %1.</source>
        <translation>Der bisherige Inhalt des Moduls ist in %1 gesichert.</translation>
    </message>
    <message>
        <source>No backup could be saved: %1</source>
        <translation>Es konnte keine Sicherung gespeichert werden: %1</translation>
    </message>
    <message>
        <source>1 preset in banks 2–16 will change on the module.</source>
        <translation>1 Preset in den Bänken 2–16 wird sich im Modul ändern.</translation>
    </message>
    <message>
        <source>%1 presets in banks 2–16 will change on the module.</source>
        <translation>%1 Presets in den Bänken 2–16 werden sich im Modul ändern.</translation>
    </message>
    <message>
        <source>1 preset was written.</source>
        <translation>1 Preset wurde geschrieben.</translation>
    </message>
    <message>
        <source>%1 presets were written.</source>
        <translation>%1 Presets wurden geschrieben.</translation>
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
        <source>Backup: %1</source>
        <translation>Sicherung: %1</translation>
    </message>
    <message>
        <source>The module shortens or changes these names: %1</source>
        <translation>Das Modul kürzt oder ändert diese Namen: %1</translation>
    </message>
    <message>
        <source>(%1 more in the log)</source>
        <translation>(%1 weitere im Protokoll)</translation>
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
        <source>Ports opened: in &quot;%1&quot;, out &quot;%2&quot;.</source>
        <translation>Anschlüsse geöffnet: Eingang „%1“, Ausgang „%2“.</translation>
    </message>
    <message>
        <source>Reading banks %1–%2 from the module.</source>
        <translation>Lese Bänke %1–%2 aus dem Modul.</translation>
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
        <source>Bank %1, preset %2 did not take the write %3 times.</source>
        <translation>Bank %1, Preset %2 hat das Schreiben %3-mal nicht übernommen.</translation>
    </message>
    <message>
        <source>Bank %1, preset %2 read back different; writing it again (%3 of %4).</source>
        <translation>Bank %1, Preset %2 wurde abweichend zurückgelesen; schreibe erneut (%3 von %4).</translation>
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
        <source>Bank %1 · preset %2 of %3</source>
        <translation>Bank %1 · Preset %2 von %3</translation>
    </message>
    <message>
        <source> · about %1:%2 left</source>
        <translation> · noch etwa %1:%2</translation>
    </message>
</context>
<context>
    <name>TransferBackup</name>
    <message>
        <source>Cannot make the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Bank %1, preset %2: &quot;%3&quot; becomes &quot;%4&quot;</source>
        <translation>Bank %1, Preset %2: „%3“ wird zu „%4“</translation>
    </message>
</context>
<context>
    <name>TransferLogPanel</name>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>The log could not be saved to %1: %2</source>
        <translation>Das Protokoll konnte nicht in %1 gespeichert werden: %2</translation>
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
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
