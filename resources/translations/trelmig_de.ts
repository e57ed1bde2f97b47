<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Application</name>
    <message>
        <source>The Wine prefix opened last, %1, is no longer there. The window shows %2 instead.</source>
        <translation>Das zuletzt geöffnete Wine-Präfix %1 gibt es nicht mehr. Das Fenster zeigt stattdessen %2.</translation>
    </message>
    <message>
        <source>New profile</source>
        <translation>Neues Profil</translation>
    </message>
    <message>
        <source>Name of the new profile:</source>
        <translation>Name des neuen Profils:</translation>
    </message>
    <message>
        <source>The program could not be started for the Windows user folder %1.</source>
        <translation>Das Programm konnte für den Windows-Benutzerordner %1 nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The program could not be started for the Wine prefix %1.</source>
        <translation>Das Programm konnte für das Wine-Präfix %1 nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup is already open for the Wine prefix %1.</source>
        <translation>Quenvar Outlook Backup ist für das Wine-Präfix %1 bereits geöffnet.</translation>
    </message>
</context>
<context>
    <name>ByteProgress</name>
    <message>
        <source>Compressing %1</source>
        <translation>%1 wird komprimiert</translation>
    </message>
    <message>
        <source>Restoring %1</source>
        <translation>%1 wird wiederhergestellt</translation>
    </message>
    <message>
        <source>Verifying %1</source>
        <translation>%1 wird geprüft</translation>
    </message>
    <message>
        <source>Writing %1</source>
        <translation>%1 wird geschrieben</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1: %2 of %3</source>
        <translation>%1: %2 von %3</translation>
    </message>
    <message>
        <source>, %1/s</source>
        <translation>, %1/s</translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, noch etwa %1</translation>
    </message>
</context>
<context>
    <name>CompletionLog</name>
    <message>
        <source>Backup Personal Folders</source>
        <translation>Persönliche Ordner sichern</translation>
    </message>
    <message>
        <source>Restore Personal Folders</source>
        <translation>Persönliche Ordner wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Accounts Settings</source>
        <translation>Kontoeinstellungen sichern</translation>
    </message>
    <message>
        <source>Restore Accounts Settings</source>
        <translation>Kontoeinstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Signatures</source>
        <translation>Signaturen sichern</translation>
    </message>
    <message>
        <source>Restore Signatures</source>
        <translation>Signaturen wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Stationeries</source>
        <translation>Briefpapiere sichern</translation>
    </message>
    <message>
        <source>Restore Stationeries</source>
        <translation>Briefpapiere wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Personal Address Book</source>
        <translation>Persönliches Adressbuch sichern</translation>
    </message>
    <message>
        <source>Restore Personal Address Book</source>
        <translation>Persönliches Adressbuch wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Options Settings</source>
        <translation>Optionen sichern</translation>
    </message>
    <message>
        <source>Restore Options Settings</source>
        <translation>Optionen wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Templates</source>
        <translation>Vorlagen sichern</translation>
    </message>
    <message>
        <source>Restore Templates</source>
        <translation>Vorlagen wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Preferences</source>
        <translation>Einstellungen sichern</translation>
    </message>
    <message>
        <source>Restore Preferences</source>
        <translation>Einstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>succeeded!</source>
        <translation>erfolgreich!</translation>
    </message>
    <message>
        <source>Fail!</source>
        <translation>Fehlgeschlagen!</translation>
    </message>
    <message>
        <source>not used by this Outlook</source>
        <translation>von diesem Outlook nicht verwendet</translation>
    </message>
    <message>
        <source>nothing to back up</source>
        <translation>nichts zu sichern</translation>
    </message>
    <message>
        <source>not restored, as an earlier part of it failed</source>
        <translation>nicht wiederhergestellt, da ein früherer Teil davon fehlschlug</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>The help file could not be opened: no program to show it was found. Open it in a web browser:
</source>
        <translation>Die Hilfedatei konnte nicht geöffnet werden: es wurde kein Programm gefunden, das sie anzeigt. Öffnen Sie sie in einem Webbrowser:
</translation>
    </message>
    <message>
        <source>The help file help/index.html is not installed. It was looked for in:
</source>
        <translation>Die Hilfedatei help/index.html ist nicht installiert. Gesucht wurde in:
</translation>
    </message>
</context>
<context>
    <name>ItemCatalogue</name>
    <message>
        <source>Personal Folders (Contacts, Tasks, Calendar, Notes and mail folders)</source>
        <translation>Persönliche Ordner (Kontakte, Kalender, Mail usw.)</translation>
    </message>
    <message>
        <source>Contacts, Tasks, Calendar, Notes and mail folders</source>
        <translation>Kontakte, Aufgaben, Kalender, Notizen und E-Mail-Ordner</translation>
    </message>
    <message>
        <source>Contacts, Tasks, Calendar, Notes and mail folders.</source>
        <translation>Kontakte, Aufgaben, Kalender, Notizen und E-Mail-Ordner.</translation>
    </message>
    <message>
        <source>Accounts Settings</source>
        <translation>Kontoeinstellungen</translation>
    </message>
    <message>
        <source>All Accounts Settings.</source>
        <translation>Alle Kontoeinstellungen.</translation>
    </message>
    <message>
        <source>Signatures</source>
        <translation>Signaturen</translation>
    </message>
    <message>
        <source>User defined signatures.</source>
        <translation>Eigene Signaturen.</translation>
    </message>
    <message>
        <source>Stationeries</source>
        <translation>Briefpapiere</translation>
    </message>
    <message>
        <source>Outlook stationery.</source>
        <translation>Outlook-Briefpapier.</translation>
    </message>
    <message>
        <source>Personal Address Book</source>
        <translation>Persönliches Adressbuch</translation>
    </message>
    <message>
        <source>Outlook Personal Address Book.</source>
        <translation>Persönliches Adressbuch von Outlook.</translation>
    </message>
    <message>
        <source>Options Settings</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>General settings and interface options.</source>
        <translation>Allgemeine Einstellungen und Optionen der Oberfläche.</translation>
    </message>
    <message>
        <source>Templates</source>
        <translation>Vorlagen</translation>
    </message>
    <message>
        <source>User templates.</source>
        <translation>Eigene Vorlagen.</translation>
    </message>
    <message>
        <source>Preferences (Customizable settings)</source>
        <translation>Präferenzen (anpassbare Einstellungen)</translation>
    </message>
    <message>
        <source>View and Toolbar settings, Send and Receive group settings, control infomation and other data.</source>
        <translation>Ansichts- und Symbolleisteneinstellungen, Einstellungen der Sende-/Empfangsgruppen, Steuerinformationen und weitere Daten.</translation>
    </message>
    <message>
        <source>Backup information</source>
        <translation>Angaben zur Sicherung</translation>
    </message>
    <message>
        <source>Profile settings</source>
        <translation>Profileinstellungen</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Fortfahren</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>&amp;Überschreiben</translation>
    </message>
    <message>
        <source>&amp;Do not ask again</source>
        <translation>&amp;Nicht mehr fragen</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>the command line needs sf=, xm=, ps= and bf=</source>
        <translation>die Befehlszeile braucht sf=, xm=, ps= und bf=</translation>
    </message>
    <message>
        <source>a value of the command line contains &quot;=&quot;</source>
        <translation>ein Wert der Befehlszeile enthält &quot;=&quot;</translation>
    </message>
    <message>
        <source>the command line is not sf=...xm=...ps=...bf=...</source>
        <translation>die Befehlszeile hat nicht die Form sf=...xm=...ps=...bf=...</translation>
    </message>
    <message>
        <source>the profile (sf=), the items (xm=) and the backup file (bf=) must not be empty</source>
        <translation>das Profil (sf=), die Elemente (xm=) und die Sicherungsdatei (bf=) dürfen nicht leer sein</translation>
    </message>
    <message>
        <source>the items (xm=) must be eight characters 0 or 1</source>
        <translation>die Elemente (xm=) müssen acht Zeichen 0 oder 1 sein</translation>
    </message>
    <message>
        <source>no item is chosen (xm=00000000): Please select at least one item.</source>
        <translation>kein Element gewählt (xm=00000000): Bitte wählen Sie mindestens ein Element.</translation>
    </message>
    <message>
        <source>the password (ps=) contains a line break or a NUL character</source>
        <translation>das Kennwort (ps=) enthält einen Zeilenumbruch oder ein NUL-Zeichen</translation>
    </message>
    <message>
        <source>the password is given twice (ps= and --password-file)</source>
        <translation>das Kennwort ist zweimal angegeben (ps= und --password-file)</translation>
    </message>
    <message>
        <source>the password file holds a NUL character</source>
        <translation>die Kennwortdatei enthält ein NUL-Zeichen</translation>
    </message>
    <message>
        <source>trelmig: %1</source>
        <translation>trelmig: %1</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>no Outlook profile in the Wine prefix %1; nothing was backed up</source>
        <translation>kein Outlook-Profil im Wine-Präfix %1; nichts wurde gesichert</translation>
    </message>
    <message>
        <source>no Outlook profile in the Windows user folder %1; nothing was backed up</source>
        <translation>kein Outlook-Profil im Windows-Benutzerordner %1; nichts wurde gesichert</translation>
    </message>
    <message>
        <source>there is no Outlook profile &quot;%1&quot;; nothing was backed up</source>
        <translation>es gibt kein Outlook-Profil &quot;%1&quot;; nichts wurde gesichert</translation>
    </message>
    <message>
        <source>Outlook or another Windows program is open in the Wine prefix %1; its data files are copied as they are at one moment</source>
        <translation>Outlook oder ein anderes Windows-Programm ist im Wine-Präfix %1 geöffnet; seine Datendateien werden so kopiert, wie sie in einem Augenblick sind</translation>
    </message>
    <message>
        <source>backup of profile &quot;%1&quot; to %2 failed: %3</source>
        <translation>Sicherung des Profils &quot;%1&quot; nach %2 fehlgeschlagen: %3</translation>
    </message>
    <message>
        <source>cannot rename the partial backup %1: %2</source>
        <translation>die unvollständige Sicherung %1 kann nicht umbenannt werden: %2</translation>
    </message>
    <message>
        <source>backup of profile &quot;%1&quot; written to %2 (%3)</source>
        <translation>Sicherung des Profils &quot;%1&quot; nach %2 geschrieben (%3)</translation>
    </message>
    <message>
        <source>; nothing to back up for %1</source>
        <translation>; nichts zu sichern für %1</translation>
    </message>
    <message>
        <source>, but these items failed: %1</source>
        <translation>, aber diese Elemente sind fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>; the earlier backup file %1 was kept, the new one missing these items is %2</source>
        <translation>; die frühere Sicherungsdatei %1 wurde behalten, die neue ohne diese Elemente ist %2</translation>
    </message>
    <message>
        <source>an old version could not be removed: %1</source>
        <translation>eine alte Version konnte nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>unattended backup refused, nothing was touched: %1</source>
        <translation>unbeaufsichtigte Sicherung abgelehnt, nichts wurde verändert: %1</translation>
    </message>
    <message>
        <source>unattended backup failed: %1</source>
        <translation>unbeaufsichtigte Sicherung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Please choose a backup file name.</source>
        <translation>Bitte wählen Sie einen Namen für die Sicherungsdatei.</translation>
    </message>
    <message>
        <source>Please select at least one item.</source>
        <translation>Bitte wählen Sie mindestens ein Element.</translation>
    </message>
    <message>
        <source>Please enter Password!</source>
        <translation>Bitte geben Sie ein Kennwort ein!</translation>
    </message>
    <message>
        <source>Incorrect Password!</source>
        <translation>Die Kennwörter stimmen nicht überein!</translation>
    </message>
    <message>
        <source>Compressing the backup file...</source>
        <translation>Die Sicherungsdatei wird komprimiert...</translation>
    </message>
    <message>
        <source>Verifying the backup file...</source>
        <translation>Die Sicherungsdatei wird geprüft...</translation>
    </message>
    <message>
        <source>The Backup was cancelled. No backup file was written; a file already at %1 was left as it was.</source>
        <translation>Die Sicherung wurde abgebrochen. Es wurde keine Sicherungsdatei geschrieben; eine Datei unter %1 blieb, wie sie war.</translation>
    </message>
    <message>
        <source>The Backup was not Completed! The backup file could not be written; nothing at %1 was changed:<byte value="xd"/>
%2<byte value="xd"/>
%3</source>
        <translation>Die Sicherung wurde nicht abgeschlossen! Die Sicherungsdatei konnte nicht geschrieben werden; unter %1 wurde nichts verändert:<byte value="xd"/>
%2<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source>The Backup was not Completed! Some items could not be gathered, so the earlier backup file %1 was kept; the new backup file without them is %2<byte value="xd"/>
%3</source>
        <translation>Die Sicherung wurde nicht abgeschlossen! Einige Elemente konnten nicht gesammelt werden, daher wurde die frühere Sicherungsdatei %1 behalten; die neue Sicherungsdatei ohne sie ist %2<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source>The Backup was Completed!			<byte value="xd"/>
%1</source>
        <translation>Die Sicherung wurde abgeschlossen!			<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Please choose the backup file to restore from.</source>
        <translation>Bitte wählen Sie die Sicherungsdatei, aus der wiederhergestellt werden soll.</translation>
    </message>
    <message>
        <source>Invalid backup file.</source>
        <translation>Ungültige Sicherungsdatei.</translation>
    </message>
    <message>
        <source>The Windows user folder %1 is only read. Open the Wine prefix to restore into (File &gt; &quot;Open Wine Prefix...&quot;).<byte value="xd"/>
<byte value="xd"/>
Nothing was restored.</source>
        <translation>Der Windows-Benutzerordner %1 wird nur gelesen. Öffnen Sie das Wine-Präfix, in das wiederhergestellt werden soll (Datei &gt; &quot;Wine-Präfix öffnen...&quot;).<byte value="xd"/>
<byte value="xd"/>
Nichts wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>Refused</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <source>Partly failed</source>
        <translation>Teilweise fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Last backup: none yet</source>
        <translation>Letzte Sicherung: noch keine</translation>
    </message>
    <message>
        <source>Last backup: %1, </source>
        <translation>Letzte Sicherung: %1, </translation>
    </message>
    <message>
        <source>; no backup succeeded for %1 days</source>
        <translation>; seit %1 Tagen keine erfolgreiche Sicherung</translation>
    </message>
    <message>
        <source>The backup file %1 of %2 already exists. Do you want to overwrite it?</source>
        <translation>Die Sicherungsdatei %1 vom %2 gibt es schon. Möchten Sie sie überschreiben?</translation>
    </message>
    <message>
        <source>Outlook or another Windows program is open in the Wine prefix %1. It may change the data files while they are copied.<byte value="xd"/>
<byte value="xd"/>
Close it and choose Retry, choose Continue to back up the data files as they are at one moment, or Cancel.</source>
        <translation>Outlook oder ein anderes Windows-Programm ist im Wine-Präfix %1 geöffnet. Es kann die Datendateien ändern, während sie kopiert werden.<byte value="xd"/>
<byte value="xd"/>
Schließen Sie es und wählen Sie Wiederholen, wählen Sie Fortfahren, um die Datendateien so zu sichern, wie sie in einem Augenblick sind, oder Abbrechen.</translation>
    </message>
    <message>
        <source>Invalid backup file<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Ungültige Sicherungsdatei<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Incorrect Password or Invalid backup file<byte value="xd"/>
<byte value="xd"/>
The password is wrong, or the backup file is damaged.</source>
        <translation>Falsches Kennwort oder ungültige Sicherungsdatei<byte value="xd"/>
<byte value="xd"/>
Das Kennwort ist falsch, oder die Sicherungsdatei ist beschädigt.</translation>
    </message>
    <message>
        <source>Invalid backup file</source>
        <translation>Ungültige Sicherungsdatei</translation>
    </message>
    <message>
        <source>Invalid backup file<byte value="xd"/>
<byte value="xd"/>
The information file names, under %1, %2.</source>
        <translation>Ungültige Sicherungsdatei<byte value="xd"/>
<byte value="xd"/>
Die Angabendatei nennt unter %1 %2.</translation>
    </message>
    <message>
        <source>Outlook or Wine is running. Please close Outlook and Wine first (for example with &quot;wineserver -k&quot;), then restore again.<byte value="xd"/>
<byte value="xd"/>
Nothing was restored.</source>
        <translation>Outlook oder Wine läuft. Bitte schließen Sie zuerst Outlook und Wine (zum Beispiel mit &quot;wineserver -k&quot;) und stellen Sie dann erneut wieder her.<byte value="xd"/>
<byte value="xd"/>
Nichts wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>The Restore was not Completed!			<byte value="xd"/>
%1%2</source>
        <translation>Die Wiederherstellung wurde nicht abgeschlossen!			<byte value="xd"/>
%1%2</translation>
    </message>
    <message>
        <source>The Restore was Completed!			<byte value="xd"/>
%1%2</source>
        <translation>Die Wiederherstellung wurde abgeschlossen!			<byte value="xd"/>
%1%2</translation>
    </message>
    <message>
        <source>No task is scheduled.</source>
        <translation>Es ist keine Aufgabe geplant.</translation>
    </message>
    <message>
        <source>there is no task %1</source>
        <translation>es gibt keine Aufgabe %1</translation>
    </message>
    <message>
        <source>No task of the crontab was moved.</source>
        <translation>Keine Aufgabe der Crontab wurde verschoben.</translation>
    </message>
    <message>
        <source>Task %1 is now a systemd timer.</source>
        <translation>Aufgabe %1 ist jetzt ein systemd-Timer.</translation>
    </message>
    <message>
        <source>there is no restore to undo (%1 kept)</source>
        <translation>es gibt keine Wiederherstellung zum Rückgängigmachen (%1 aufbewahrt)</translation>
    </message>
    <message>
        <source>there is no restore to undo %1 restores back (%2 kept)</source>
        <translation>es gibt keine Wiederherstellung zum Rückgängigmachen %1 Wiederherstellungen zurück (%2 aufbewahrt)</translation>
    </message>
    <message>
        <source>no Wine prefix found (looked at $WINEPREFIX, ~/.wine and the bottles of CrossOver, Bottles, PlayOnLinux, Lutris and winetricks) and no Windows partition (looked at /media/$USER, /run/media/$USER and /mnt)</source>
        <translation>kein Wine-Präfix gefunden (gesucht in $WINEPREFIX, ~/.wine und den Flaschen von CrossOver, Bottles, PlayOnLinux, Lutris und winetricks) und keine Windows-Partition (gesucht in /media/$USER, /run/media/$USER und /mnt)</translation>
    </message>
    <message>
        <source>there is no Outlook profile &quot;%1&quot; (--create makes it)</source>
        <translation>es gibt kein Outlook-Profil &quot;%1&quot; (--create legt es an)</translation>
    </message>
    <message>
        <source>there is an Outlook profile &quot;%1&quot; already</source>
        <translation>es gibt schon ein Outlook-Profil &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the backup file does not hold %1</source>
        <translation>die Sicherungsdatei enthält kein Element %1</translation>
    </message>
    <message>
        <source>--schedule: %1</source>
        <translation>--schedule ist ungültig: %1</translation>
    </message>
    <message>
        <source>--days takes day codes joined by &quot;,&quot;: M,T,W,TH,F,S,SU</source>
        <translation>--days nimmt Tageskürzel, durch &quot;,&quot; verbunden: M,T,W,TH,F,S,SU</translation>
    </message>
    <message>
        <source>there is no Outlook profile &quot;%1&quot; in the Wine prefix %2</source>
        <translation>es gibt kein Outlook-Profil &quot;%1&quot; im Wine-Präfix %2</translation>
    </message>
    <message>
        <source>there is no Outlook profile &quot;%1&quot; in the Windows user folder %2</source>
        <translation>es gibt kein Outlook-Profil &quot;%1&quot; im Windows-Benutzerordner %2</translation>
    </message>
    <message>
        <source>the window could not be opened</source>
        <translation>das Fenster konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Your Windows System have not install MS Outlook or MS Outlook Error!</source>
        <translation>Auf Ihrem Windows-System ist MS Outlook nicht installiert, oder MS Outlook ist fehlerhaft!</translation>
    </message>
    <message>
        <source>%1: sound</source>
        <translation>%1: einwandfrei</translation>
    </message>
    <message>
        <source>%1: damaged: %2: %3</source>
        <translation>%1: beschädigt: %2: %3</translation>
    </message>
    <message>
        <source>%1: refused: %2</source>
        <translation>%1: abgelehnt: %2</translation>
    </message>
    <message>
        <source>There is no Wine prefix at %1: the folder does not exist.</source>
        <translation>Unter %1 gibt es kein Wine-Präfix: der Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>there is no display for the main window; see trelmig --help for what runs without one</source>
        <translation>es gibt keinen Bildschirm für das Hauptfenster; trelmig --help nennt, was ohne ihn läuft</translation>
    </message>
    <message>
        <source>Copying Config...</source>
        <translation>Konfiguration wird kopiert...</translation>
    </message>
    <message>
        <source>Copying Data Files (Pst Files)...</source>
        <translation>Datendateien (PST-Dateien) werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Rules...</source>
        <translation>Regeln werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Accounts...</source>
        <translation>Konten werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Signatures...</source>
        <translation>Signaturen werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Stationeries...</source>
        <translation>Briefpapiere werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Address Book...</source>
        <translation>Adressbuch wird kopiert...</translation>
    </message>
    <message>
        <source>Copying Options...</source>
        <translation>Optionen werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Templates...</source>
        <translation>Vorlagen werden kopiert...</translation>
    </message>
    <message>
        <source>Copying Setting...</source>
        <translation>Einstellungen werden kopiert...</translation>
    </message>
    <message>
        <source>Operation complete!</source>
        <translation>Vorgang abgeschlossen!</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>The undo record cannot be read: %1</source>
        <translation>Die Aufzeichnung zum Rückgängigmachen kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Outlook or Wine is running. Please close Outlook and Wine first (for example with &quot;wineserver -k&quot;), then undo again.</source>
        <translation>Outlook oder Wine läuft. Bitte schließen Sie zuerst Outlook und Wine (zum Beispiel mit &quot;wineserver -k&quot;) und machen Sie dann erneut rückgängig.</translation>
    </message>
    <message>
        <source>The restore cannot be undone: %1</source>
        <translation>Die Wiederherstellung kann nicht rückgängig gemacht werden: %1</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Nothing was changed.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
These files could not be renamed back; the restored version is beside each:%1</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Diese Dateien konnten nicht zurückbenannt werden; die wiederhergestellte Fassung liegt jeweils daneben:%1</translation>
    </message>
    <message>
        <source>Undone: the restore into profile &quot;%1&quot; of %2 on %3. %4 registry key(s) and %5 file(s) are as they were before it.</source>
        <translation>Rückgängig gemacht: die Wiederherstellung in das Profil &quot;%1&quot; von %2 am %3. %4 Registrierungsschlüssel und %5 Datei(en) sind wie vor ihr.</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>unbekannte Option %1 (siehe --help)</translation>
    </message>
    <message>
        <source>--volume goes with --write-iso</source>
        <translation>--volume gehört zu --write-iso</translation>
    </message>
    <message>
        <source>choose one of --list-profiles, --list-prefixes, --inspect, --verify, --restore, --undo-restore, --schedule, --list-jobs, --move-jobs, --remove-job or a backup command line</source>
        <translation>wählen Sie eines von --list-profiles, --list-prefixes, --inspect, --verify, --restore, --undo-restore, --schedule, --list-jobs, --move-jobs, --remove-job oder eine Sicherungs-Befehlszeile</translation>
    </message>
    <message>
        <source>%1 takes a number of versions, not &quot;%2&quot;</source>
        <translation>%1 nimmt eine Anzahl von Versionen, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--keep-last, --keep-daily, --keep-weekly and --keep-monthly go with an unattended backup line or --schedule</source>
        <translation>--keep-last, --keep-daily, --keep-weekly und --keep-monthly gehören zu einer unbeaufsichtigten Sicherungszeile oder zu --schedule</translation>
    </message>
    <message>
        <source>--create goes with --restore</source>
        <translation>--create gehört zu --restore</translation>
    </message>
    <message>
        <source>--windows-root goes with --windows-user</source>
        <translation>--windows-root gehört zu --windows-user</translation>
    </message>
    <message>
        <source>choose --prefix or --windows-user</source>
        <translation>wählen Sie --prefix oder --windows-user</translation>
    </message>
    <message>
        <source>--windows-user goes with --list-profiles, --schedule, a backup command line or the window</source>
        <translation>--windows-user gehört zu --list-profiles, --schedule, einer Sicherungs-Befehlszeile oder zum Fenster</translation>
    </message>
    <message>
        <source>--keep-password-file goes with --remove-job</source>
        <translation>--keep-password-file gehört zu --remove-job</translation>
    </message>
    <message>
        <source>--at and --days go with --schedule</source>
        <translation>--at und --days gehören zu --schedule</translation>
    </message>
    <message>
        <source>--schedule needs --at HH:MM</source>
        <translation>--schedule braucht --at HH:MM</translation>
    </message>
    <message>
        <source>--write-iso needs at least one file or folder to put into the image</source>
        <translation>--write-iso braucht mindestens eine Datei oder einen Ordner für das Abbild</translation>
    </message>
    <message>
        <source>--undo-restore takes the number of a restore from 1 (the last) to %1</source>
        <translation>--undo-restore nimmt die Nummer einer Wiederherstellung von 1 (der letzten) bis %1</translation>
    </message>
    <message>
        <source>--remove-job needs a task number</source>
        <translation>--remove-job braucht eine Aufgabennummer</translation>
    </message>
    <message>
        <source>--restore needs --profile NAME and --items with eight 0/1 characters</source>
        <translation>--restore braucht --profile NAME und --items mit acht Zeichen 0/1</translation>
    </message>
    <message>
        <source>Writing... %1%</source>
        <translation>Schreiben... %1%</translation>
    </message>
    <message>
        <source>%1 would replace %2 as %3</source>
        <translation>%1 würde %2 als %3 ersetzen</translation>
    </message>
    <message>
        <source>--write-iso needs the image file and at least one file or folder</source>
        <translation>--write-iso braucht die Abbilddatei und mindestens eine Datei oder einen Ordner</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 ist ein Ordner</translation>
    </message>
    <message>
        <source>the image file %1 is one of the sources</source>
        <translation>die Abbilddatei %1 ist eine der Quellen</translation>
    </message>
    <message>
        <source>the image file %1 lies inside the source folder %2</source>
        <translation>die Abbilddatei %1 liegt im Quellordner %2</translation>
    </message>
    <message>
        <source>the recording library could not be started</source>
        <translation>die Brennbibliothek konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>cannot put %1 into the image</source>
        <translation>%1 kann nicht in das Abbild aufgenommen werden</translation>
    </message>
    <message>
        <source>cannot write into the folder of %1</source>
        <translation>in den Ordner von %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Writing %1: %2 files, %3 folders, %4</source>
        <translation>%1 wird geschrieben: %2 Dateien, %3 Ordner, %4</translation>
    </message>
    <message>
        <source>Writing the file: %1%</source>
        <translation>Datei wird geschrieben: %1%</translation>
    </message>
    <message>
        <source>Verify File %1%</source>
        <translation>Datei prüfen %1%</translation>
    </message>
    <message>
        <source>The Backup was Completed!			<byte value="xd"/>
Written to %1<byte value="xd"/>
%2</source>
        <translation>Die Sicherung wurde abgeschlossen!			<byte value="xd"/>
Geschrieben nach %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>The chosen items of the profile will be replaced with those from the selected backup file.</source>
        <translation>Die gewählten Elemente des Profils werden durch die der gewählten Sicherungsdatei ersetzt.</translation>
    </message>
    <message>
        <source>Task %1 (%2): %3, %4</source>
        <translation>Aufgabe %1 (%2): %3, %4</translation>
    </message>
    <message>
        <source>profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>items</source>
        <translation>Elemente</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>prefix</source>
        <translation>Präfix</translation>
    </message>
    <message>
        <source>source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>versions</source>
        <translation>Versionen</translation>
    </message>
    <message>
        <source>next run</source>
        <translation>nächster Lauf</translation>
    </message>
    <message>
        <source>last run</source>
        <translation>letzter Lauf</translation>
    </message>
    <message>
        <source>Windows user folder %1</source>
        <translation>Windows-Benutzerordner %1</translation>
    </message>
    <message>
        <source>kept (%1)</source>
        <translation>aufbewahrt (%1)</translation>
    </message>
    <message>
        <source>none, the file is replaced</source>
        <translation>keine, die Datei wird ersetzt</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>noch keiner</translation>
    </message>
    <message>
        <source>The Backup was not Completed! Some items could not be gathered; the backup file %1 holds the others.<byte value="xd"/>
%2</source>
        <translation>Die Sicherung wurde nicht abgeschlossen! Einige Elemente konnten nicht gesammelt werden; die Sicherungsdatei %1 enthält die übrigen.<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Invalid backup file name.</source>
        <translation>Ungültiger Name der Sicherungsdatei.</translation>
    </message>
    <message>
        <source>The profile name of a scheduled backup cannot contain &quot;=&quot; or a line break.</source>
        <translation>Der Profilname einer geplanten Sicherung darf kein &quot;=&quot; und keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>The password of a scheduled backup cannot contain &quot;=&quot; or a line break.</source>
        <translation>Das Kennwort einer geplanten Sicherung darf kein &quot;=&quot; und keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>The backup file name of a scheduled backup cannot contain &quot;=&quot; or a line break.</source>
        <translation>Der Name der Sicherungsdatei einer geplanten Sicherung darf kein &quot;=&quot; und keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a time of day. Enter the start time as hours and minutes, for example 9:00 or 23:30.</source>
        <translation>&quot;%1&quot; ist keine Uhrzeit. Geben Sie die Startzeit als Stunden und Minuten ein, zum Beispiel 9:00 oder 23:30.</translation>
    </message>
    <message>
        <source>the job cannot be written without its password</source>
        <translation>der Auftrag kann nicht ohne sein Kennwort geschrieben werden</translation>
    </message>
    <message>
        <source>Task %1 was added to your crontab, but it will not run: no cron daemon runs on this machine and no systemd user manager answers. Start the cron service (as root: systemctl enable --now cron), or schedule the task again from a desktop session, whose systemd user manager also runs a backup missed while the computer was off.</source>
        <translation>Aufgabe %1 wurde Ihrer crontab hinzugefügt, wird aber nicht ausgeführt: Auf diesem Rechner läuft kein cron-Dienst, und kein systemd-Benutzerdienst antwortet. Starten Sie den cron-Dienst (als root: systemctl enable --now cron), oder planen Sie die Aufgabe erneut aus einer Desktop-Sitzung, deren systemd-Benutzerdienst auch eine Sicherung nachholt, die verpasst wurde, während der Rechner aus war.</translation>
    </message>
    <message>
        <source>Task %1 has been scheduled.</source>
        <translation>Aufgabe %1 wurde geplant.</translation>
    </message>
    <message>
        <source>The task could not be scheduled: %1</source>
        <translation>Die Aufgabe konnte nicht geplant werden: %1</translation>
    </message>
    <message>
        <source>once</source>
        <translation>einmal</translation>
    </message>
    <message>
        <source>every day</source>
        <translation>jeden Tag</translation>
    </message>
    <message>
        <source>days %1 of the month</source>
        <translation>Tage %1 des Monats</translation>
    </message>
    <message>
        <source>once, next %1</source>
        <translation>einmal, nächstes Mal %1</translation>
    </message>
    <message>
        <source>the crontab line was changed by hand and cannot be read</source>
        <translation>die crontab-Zeile wurde von Hand geändert und kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the backup will refuse this job: %1</source>
        <translation>die Sicherung wird diesen Auftrag ablehnen: %1</translation>
    </message>
    <message>
        <source>systemd timer</source>
        <translation>systemd-Timer</translation>
    </message>
    <message>
        <source>no systemd user manager answers: the jobs stay in the crontab</source>
        <translation>kein systemd-Benutzerdienst antwortet: die Aufträge bleiben in der crontab</translation>
    </message>
    <message>
        <source>What the restore would replace cannot be kept for an undo: %1<byte value="xd"/>
<byte value="xd"/>
Nothing was restored.</source>
        <translation>Was die Wiederherstellung ersetzen würde, kann nicht für ein Rückgängigmachen aufbewahrt werden: %1<byte value="xd"/>
<byte value="xd"/>
Es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>The profile cannot be made: %1<byte value="xd"/>
<byte value="xd"/>
Nothing was restored.</source>
        <translation>Das Profil kann nicht angelegt werden: %1<byte value="xd"/>
<byte value="xd"/>
Es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>not restored, as an earlier part of it failed</source>
        <translation>nicht wiederhergestellt, da ein früherer Teil davon fehlschlug</translation>
    </message>
    <message>
        <source>The Restore was cancelled. The item at work when it stopped, and those after it, were left as they were.%1</source>
        <translation>Die Wiederherstellung wurde abgebrochen. Das Element, an dem sie gerade arbeitete, und die folgenden blieben, wie sie waren.%1</translation>
    </message>
    <message>
        <source>The Restore was cancelled. The item at work when it stopped, and those after it, were left as they were; these had been restored before:%1%2</source>
        <translation>Die Wiederherstellung wurde abgebrochen. Das Element, an dem sie gerade arbeitete, und die folgenden blieben, wie sie waren; diese waren zuvor wiederhergestellt worden:%1%2</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
This restore cannot be undone: %1</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Diese Wiederherstellung kann nicht rückgängig gemacht werden: %1</translation>
    </message>
    <message>
        <source>Incorrect Format:

%1</source>
        <translation>Falsches Format:

%1</translation>
    </message>
    <message>
        <source>the registry key %1 does not exist</source>
        <translation>der Registrierungsschlüssel %1 existiert nicht</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; of %2 cannot be written</source>
        <translation>der Wert &quot;%1&quot; von %2 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the registry path %1 is malformed</source>
        <translation>der Registrierungspfad %1 ist fehlerhaft</translation>
    </message>
    <message>
        <source>the registry key %1 cannot be made</source>
        <translation>der Registrierungsschlüssel %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; of %2 cannot be deleted</source>
        <translation>der Wert &quot;%1&quot; von %2 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>the root key %1 cannot be deleted</source>
        <translation>der Stammschlüssel %1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>the registry key %1 cannot be deleted</source>
        <translation>der Registrierungsschlüssel %1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>cannot read the password file %1</source>
        <translation>die Kennwortdatei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The backup file is protected and there is no terminal to type its password on: name a file that holds it with --password-file.</source>
        <translation>Die Sicherungsdatei ist geschützt, und es gibt kein Terminal, um ihr Kennwort einzugeben: Nennen Sie mit --password-file eine Datei, die es enthält.</translation>
    </message>
    <message>
        <source>Password of the backup file: </source>
        <translation>Kennwort der Sicherungsdatei: </translation>
    </message>
    <message>
        <source>There is no backup file %1.</source>
        <translation>Es gibt keine Sicherungsdatei %1.</translation>
    </message>
    <message>
        <source>Cannot read the backup file %1: %2.</source>
        <translation>Die Sicherungsdatei %1 kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a backup file.</source>
        <translation>%1 ist ein Ordner, keine Sicherungsdatei.</translation>
    </message>
    <message>
        <source>There is no password file %1.</source>
        <translation>Es gibt keine Kennwortdatei %1.</translation>
    </message>
    <message>
        <source>Cannot read the password file %1: %2.</source>
        <translation>Die Kennwortdatei %1 kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a password file.</source>
        <translation>%1 ist ein Ordner, keine Kennwortdatei.</translation>
    </message>
    <message>
        <source>%1 cannot be read as an Outlook data file: %2</source>
        <translation>%1 kann nicht als Outlook-Datendatei gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is damaged: %2</source>
        <translation>%1 ist beschädigt: %2</translation>
    </message>
    <message>
        <source>%1 is protected by its own password. Its folders and messages are shown without it; Outlook still asks for it.</source>
        <translation>%1 ist durch ein eigenes Kennwort geschützt. Seine Ordner und Nachrichten werden ohne es angezeigt; Outlook fragt weiterhin danach.</translation>
    </message>
    <message>
        <source>%1 has no such message.</source>
        <translation>%1 enthält diese Nachricht nicht.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 holds no data file.</source>
        <translation>%1 enthält keine Datendatei.</translation>
    </message>
    <message>
        <source>%1 holds no data file named %2.</source>
        <translation>%1 enthält keine Datendatei namens %2.</translation>
    </message>
    <message>
        <source>%1 has no folder %2.</source>
        <translation>%1 hat keinen Ordner %2.</translation>
    </message>
    <message>
        <source>%1 written.</source>
        <translation>%1 geschrieben.</translation>
    </message>
    <message>
        <source>--data-file, --folder, --search, --export and --as go with --browse</source>
        <translation>--data-file, --folder, --search, --export und --as gehören zu --browse</translation>
    </message>
    <message>
        <source>--folder, --search and --export go with --data-file NAME</source>
        <translation>--folder, --search und --export gehören zu --data-file NAME</translation>
    </message>
    <message>
        <source>--export needs --folder or --search</source>
        <translation>--export braucht --folder oder --search</translation>
    </message>
    <message>
        <source>--as takes eml or mbox</source>
        <translation>--as nimmt eml oder mbox</translation>
    </message>
    <message>
        <source>%1 is no folder to export into.</source>
        <translation>%1 ist kein Ordner, in den exportiert werden kann.</translation>
    </message>
    <message>
        <source>--read-data goes with --verify --repository</source>
        <translation>--read-data gehört zu --verify --repository</translation>
    </message>
    <message>
        <source>--restore --repository URL needs --version-name NAME (or latest), --profile NAME and --items MASK, and no backup file</source>
        <translation>--restore --repository URL braucht --version-name NAME (oder latest), --profile NAME und --items MASKE, und keine Sicherungsdatei</translation>
    </message>
    <message>
        <source>%1 needs --repository URL</source>
        <translation>%1 braucht --repository URL</translation>
    </message>
    <message>
        <source>With --repository the backup becomes a version of the repository: leave bf= empty.</source>
        <translation>Mit --repository wird die Sicherung eine Version im Repository: bf= bleibt leer.</translation>
    </message>
    <message>
        <source>Passphrase of the repository: </source>
        <translation>Passphrase des Repositorys: </translation>
    </message>
    <message>
        <source>The repository %1 holds no version.</source>
        <translation>Das Repository %1 enthält keine Version.</translation>
    </message>
    <message>
        <source>%1  %2  profile %3  %4  added %5</source>
        <translation>%1  %2  Profil %3  %4  hinzugekommen %5</translation>
    </message>
    <message>
        <source>Versions of %1 removed by the keep policy: %2.</source>
        <translation>Von der Aufbewahrungsregel entfernte Versionen von %1: %2.</translation>
    </message>
    <message>
        <source>The repository %1 is append-only: the versions the keep policy removes are only hidden and compacting freed nothing; its owner frees the space by compacting it without that mode.</source>
        <translation>Das Repository %1 ist nur anfügbar (append-only): die von der Aufbewahrungsregel entfernten Versionen sind nur verborgen, und das Verdichten hat nichts freigegeben; sein Besitzer gibt den Platz frei, indem er es ohne diesen Modus verdichtet.</translation>
    </message>
    <message>
        <source>The repository %1 is sound.</source>
        <translation>Das Repository %1 ist in Ordnung.</translation>
    </message>
    <message>
        <source>The repository %1 was made. Keep its passphrase, and a copy of its key (borg key export), apart from it.</source>
        <translation>Das Repository %1 wurde angelegt. Bewahren Sie seine Passphrase und eine Kopie seines Schlüssels (borg key export) getrennt davon auf.</translation>
    </message>
    <message>
        <source>The version %1 was written as %2.</source>
        <translation>Die Version %1 wurde als %2 geschrieben.</translation>
    </message>
    <message>
        <source>%1 was added to the repository as the version %2.</source>
        <translation>%1 wurde dem Repository als Version %2 hinzugefügt.</translation>
    </message>
    <message>
        <source>--repository goes with sf=... bf=, --list-versions, --restore, --verify, --browse, --export-kvx and --import-kvx</source>
        <translation>--repository gehört zu sf=... bf=, --list-versions, --restore, --verify, --browse, --export-kvx und --import-kvx</translation>
    </message>
    <message>
        <source>--version-name goes with --restore, --browse and --export-kvx, beside --repository</source>
        <translation>--version-name gehört zu --restore, --browse und --export-kvx, neben --repository</translation>
    </message>
    <message>
        <source>--browse --repository URL needs --version-name NAME (or latest), and no backup file</source>
        <translation>--browse --repository URL braucht --version-name NAME (oder latest) und keine Sicherungsdatei</translation>
    </message>
    <message>
        <source>repository</source>
        <translation>Repository</translation>
    </message>
</context>
<context>
    <name>UndoLastRestore</name>
    <message>
        <source>There is no restore into this Wine prefix to undo.</source>
        <translation>Es gibt keine Wiederherstellung in dieses Wine-Präfix, die rückgängig gemacht werden kann.</translation>
    </message>
    <message>
        <source>Put back what the restore into profile &quot;%1&quot; of %2 on %3 replaced? The profile, its data files and the other items restored then become as they were before it; what was changed in them since is lost.</source>
        <translation>Zurücklegen, was die Wiederherstellung in das Profil &quot;%1&quot; von %2 am %3 ersetzt hat? Das Profil, seine Datendateien und die anderen wiederhergestellten Elemente werden dann wie vor ihr; was seitdem darin geändert wurde, geht verloren.</translation>
    </message>
    <message>
        <source>The registry cannot be read again: %1</source>
        <translation>Die Registrierung kann nicht erneut gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>WindowsUserFolder</name>
    <message>
        <source>Open Windows User Folder</source>
        <translation>Windows-Benutzerordner öffnen</translation>
    </message>
</context>
<context>
    <name>trelmig::AboutDialog</name>
    <message>
        <source>About Quenvar Outlook Backup</source>
        <translation>Über Quenvar Outlook Backup</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup v2.60</source>
        <translation>Quenvar Outlook Backup v2.60</translation>
    </message>
    <message>
        <source>Thank you for using our product.</source>
        <translation>Danke, dass Sie unser Produkt verwenden.</translation>
    </message>
    <message>
        <source>Copyright © %1. Free software under the GNU GPL, version 3 or later.</source>
        <translation>Copyright © %1. Freie Software unter der GNU GPL, Version 3 oder später.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>trelmig::BackupTab</name>
    <message>
        <source>Profile to backup</source>
        <translation>Zu sicherndes Profil</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>What</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Items to backup</source>
        <translation>Zu sichernde Elemente</translation>
    </message>
    <message>
        <source>A note stored with the backup</source>
        <translation>Eine Notiz, die mit der Sicherung gespeichert wird</translation>
    </message>
    <message>
        <source>Select all items</source>
        <translation>Alle Elemente auswählen</translation>
    </message>
    <message>
        <source>Deselect all items</source>
        <translation>Auswahl aller Elemente aufheben</translation>
    </message>
    <message>
        <source>Save Outlook Data as</source>
        <translation>Outlook-Daten speichern unter</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup File (*.kvx)</source>
        <translation>Quenvar-Outlook-Sicherungsdatei (*.kvx)</translation>
    </message>
    <message>
        <source>Choose the Repository Folder</source>
        <translation>Ordner des Repositorys wählen</translation>
    </message>
</context>
<context>
    <name>trelmig::BackupTargetBox</name>
    <message>
        <source>Backup file</source>
        <translation>Sicherungsdatei</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Kennwort</translation>
    </message>
    <message>
        <source>Retype Password</source>
        <translation>Kennwort wiederholen</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Wohin</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Choose a backup filename</source>
        <translation>Name der Sicherungsdatei wählen</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheit</translation>
    </message>
    <message>
        <source>Protect backup file with password</source>
        <translation>Sicherungsdatei mit Kennwort schützen</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Kennwort:</translation>
    </message>
    <message>
        <source>Retype Password:</source>
        <translation>Kennwort wiederholen:</translation>
    </message>
    <message>
        <source>Choose a Backup Filename</source>
        <translation>Name der Sicherungsdatei wählen</translation>
    </message>
    <message>
        <source>A backup file</source>
        <translation>Eine Sicherungsdatei</translation>
    </message>
    <message>
        <source>A repository</source>
        <translation>Ein Repository</translation>
    </message>
    <message>
        <source>One .kvx file, replaced by each backup or kept in dated versions</source>
        <translation>Eine .kvx-Datei, von jeder Sicherung ersetzt oder in datierten Versionen aufbewahrt</translation>
    </message>
    <message>
        <source>A BorgBackup repository: each backup is a version that costs only what changed</source>
        <translation>Ein BorgBackup-Repository: jede Sicherung ist eine Version, die nur so viel Platz kostet, wie sich geändert hat</translation>
    </message>
    <message>
        <source>Back up to:</source>
        <translation>Sichern in:</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Repository</translation>
    </message>
    <message>
        <source>A folder, or ssh://user@host/path</source>
        <translation>Ein Ordner oder ssh://benutzer@rechner/pfad</translation>
    </message>
    <message>
        <source>Repository folder or address</source>
        <translation>Ordner oder Adresse des Repositorys</translation>
    </message>
</context>
<context>
    <name>trelmig::BackupVersionsList</name>
    <message>
        <source>Versions of this backup, newest first</source>
        <translation>Versionen dieser Sicherung, neueste zuerst</translation>
    </message>
    <message>
        <source>(partial: some items are missing)</source>
        <translation>(unvollständig: einige Elemente fehlen)</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Made</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Items</source>
        <translation>Elemente</translation>
    </message>
    <message>
        <source>Size added</source>
        <translation>Hinzugefügt</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Versions in the repository</source>
        <translation>Versionen im Repository</translation>
    </message>
    <message>
        <source>It holds %1</source>
        <translation>Sie enthält %1</translation>
    </message>
    <message>
        <source>Versions in this repository, newest first</source>
        <translation>Versionen in diesem Repository, neueste zuerst</translation>
    </message>
</context>
<context>
    <name>trelmig::DiscWriteWindow</name>
    <message>
        <source>Remove all files and folders from the disc layout?</source>
        <translation>Alle Dateien und Ordner aus der Disc-Zusammenstellung entfernen?</translation>
    </message>
    <message>
        <source>Backup Outlook Data to CD/DVD</source>
        <translation>Outlook-Daten auf CD/DVD sichern</translation>
    </message>
    <message>
        <source>Replace file...</source>
        <translation>Datei ersetzen...</translation>
    </message>
    <message>
        <source>Write the disc image to</source>
        <translation>Disc-Abbild schreiben nach</translation>
    </message>
    <message>
        <source>Disc images (*.iso)</source>
        <translation>Disc-Abbilder (*.iso)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Drag and Drop Files or Folders</source>
        <translation>Dateien oder Ordner hierher ziehen</translation>
    </message>
    <message>
        <source>&amp;Write Disc</source>
        <translation>Disc &amp;schreiben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Recorder</source>
        <translation>Brenner</translation>
    </message>
    <message>
        <source>New Disc</source>
        <translation>Neue Disc</translation>
    </message>
    <message>
        <source>De&amp;vice:</source>
        <translation>&amp;Gerät:</translation>
    </message>
    <message>
        <source>Write S&amp;peed:</source>
        <translation>Schreib&amp;geschwindigkeit:</translation>
    </message>
    <message>
        <source>File S&amp;ystem:</source>
        <translation>Datei&amp;system:</translation>
    </message>
    <message>
        <source>Volume &amp;Label:</source>
        <translation>Daten&amp;trägername:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Use Buffer Protection</source>
        <translation>Pufferschutz verwenden</translation>
    </message>
    <message>
        <source>Eliminates buffer underrun problems.</source>
        <translation>Verhindert Pufferunterläufe.</translation>
    </message>
    <message>
        <source>Cache Image</source>
        <translation>Abbild zwischenspeichern</translation>
    </message>
    <message>
        <source>Not needed for DVD formats...Use for CDR/W only.</source>
        <translation>Für DVD-Formate nicht nötig...Nur für CD-R/W verwenden.</translation>
    </message>
    <message>
        <source>Finalize Disc</source>
        <translation>Disc abschließen</translation>
    </message>
    <message>
        <source>Not valid for DVD+RW and DVD-RAM formats.</source>
        <translation>Nicht gültig für DVD+RW und DVD-RAM.</translation>
    </message>
    <message>
        <source>Test Write</source>
        <translation>Testschreiben</translation>
    </message>
    <message>
        <source>Not valid for DVD formats.</source>
        <translation>Nicht gültig für DVD-Formate.</translation>
    </message>
    <message>
        <source>Auto-Verify Data</source>
        <translation>Daten automatisch prüfen</translation>
    </message>
    <message>
        <source>Mode2XA (CD Only)</source>
        <translation>Mode2XA (nur CD)</translation>
    </message>
    <message>
        <source>Please see help file for details on Mode2XA</source>
        <translation>Einzelheiten zu Mode2XA stehen in der Hilfe</translation>
    </message>
    <message>
        <source>Use File Dates</source>
        <translation>Dateidaten übernehmen</translation>
    </message>
    <message>
        <source>Disc-At-Once</source>
        <translation>Disc-At-Once</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Add &amp;Files...</source>
        <translation>&amp;Dateien hinzufügen...</translation>
    </message>
    <message>
        <source>Add F&amp;older...</source>
        <translation>&amp;Ordner hinzufügen...</translation>
    </message>
    <message>
        <source>Clear All Items</source>
        <translation>Alle Einträge entfernen</translation>
    </message>
    <message>
        <source>Remove Folder</source>
        <translation>Ordner entfernen</translation>
    </message>
    <message>
        <source>Remove File</source>
        <translation>Datei entfernen</translation>
    </message>
    <message>
        <source>Rename Folder</source>
        <translation>Ordner umbenennen</translation>
    </message>
    <message>
        <source>Rename File</source>
        <translation>Datei umbenennen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Gerät</translation>
    </message>
    <message>
        <source>Eject</source>
        <translation>Auswerfen</translation>
    </message>
    <message>
        <source>Close Tray</source>
        <translation>Schublade schließen</translation>
    </message>
    <message>
        <source>Erase Disc...</source>
        <translation>Disc löschen...</translation>
    </message>
    <message>
        <source>Devices Cannot be initialized...Contact support!</source>
        <translation>Die Geräte können nicht eingerichtet werden...Wenden Sie sich an den Support!</translation>
    </message>
    <message>
        <source>Outlook Data Backup CD</source>
        <translation>Outlook-Datensicherung</translation>
    </message>
    <message>
        <source>There are no compatible devices reported.
Some older devices are not currently supported.</source>
        <translation>Es wurden keine passenden Geräte gemeldet.
Manche älteren Geräte werden derzeit nicht unterstützt.</translation>
    </message>
    <message>
        <source>MAX</source>
        <translation>MAX</translation>
    </message>
    <message>
        <source>Data Image Size: %1</source>
        <translation>Größe des Abbilds: %1</translation>
    </message>
    <message>
        <source>Files: %1</source>
        <translation>Dateien: %1</translation>
    </message>
    <message>
        <source>Folders: %1</source>
        <translation>Ordner: %1</translation>
    </message>
    <message>
        <source>No Item Selected.</source>
        <translation>Kein Eintrag ausgewählt.</translation>
    </message>
    <message>
        <source>Item could not be removed.</source>
        <translation>Der Eintrag konnte nicht entfernt werden.</translation>
    </message>
    <message>
        <source>Root directory can not be renamed.</source>
        <translation>Das Stammverzeichnis kann nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>Folder could not be renamed.</source>
        <translation>Der Ordner konnte nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>File could not be renamed.</source>
        <translation>Die Datei konnte nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>Adding....%1</source>
        <translation>Wird hinzugefügt....%1</translation>
    </message>
    <message>
        <source>Please Insert Writable Media before continuing!</source>
        <translation>Bitte legen Sie einen beschreibbaren Datenträger ein, bevor Sie fortfahren!</translation>
    </message>
    <message>
        <source>There is nothing to write: add the files or folders to back up first (File &gt; Add Files... or Add Folder..., or drop them on the window).</source>
        <translation>Es gibt nichts zu schreiben: Fügen Sie zuerst die zu sichernden Dateien oder Ordner hinzu (Datei &gt; Dateien hinzufügen... oder Ordner hinzufügen..., oder ziehen Sie sie auf das Fenster).</translation>
    </message>
    <message>
        <source>Disc Write could not be started.</source>
        <translation>Das Schreiben der Disc konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Aborting Write...Please Wait!</source>
        <translation>Schreiben wird abgebrochen...Bitte warten!</translation>
    </message>
    <message>
        <source>Write Cancelled!</source>
        <translation>Schreiben abgebrochen!</translation>
    </message>
    <message>
        <source>File Warning!</source>
        <translation>Dateiwarnung!</translation>
    </message>
</context>
<context>
    <name>trelmig::EraseDiscDialog</name>
    <message>
        <source>Erase Re-Writable CD/DVD</source>
        <translation>Wiederbeschreibbare CD/DVD löschen</translation>
    </message>
    <message>
        <source>No Media Loaded.</source>
        <translation>Kein Datenträger eingelegt.</translation>
    </message>
    <message>
        <source>The current media is not re-writable.</source>
        <translation>Der eingelegte Datenträger ist nicht wiederbeschreibbar.</translation>
    </message>
    <message>
        <source>Selected drive does not support re-writable discs of this format.</source>
        <translation>Das gewählte Laufwerk unterstützt wiederbeschreibbare Discs dieses Formats nicht.</translation>
    </message>
    <message>
        <source>Could not start Erase operation!!!</source>
        <translation>Das Löschen konnte nicht gestartet werden!!!</translation>
    </message>
    <message>
        <source>Erasing Disc...Please Wait!!</source>
        <translation>Disc wird gelöscht...Bitte warten!!</translation>
    </message>
    <message>
        <source>Erase operation complete!!!</source>
        <translation>Löschen abgeschlossen!!!</translation>
    </message>
    <message>
        <source>Erase Completed!!!</source>
        <translation>Löschen abgeschlossen!!!</translation>
    </message>
    <message>
        <source>Error Erasing Disc!!!</source>
        <translation>Fehler beim Löschen der Disc!!!</translation>
    </message>
    <message>
        <source>&amp;Erase</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>trelmig::KeepVersionsBox</name>
    <message>
        <source>Keep versions</source>
        <translation>Versionen behalten</translation>
    </message>
    <message>
        <source>Write each backup as a new file NAME-YYYY-MM-DD-HHMMSS.kvx beside the chosen name, and remove the old versions the counts do not keep once the new one was verified</source>
        <translation>Jede Sicherung als neue Datei NAME-JJJJ-MM-TT-HHMMSS.kvx neben den gewählten Namen schreiben und die alten Versionen, die die Anzahlen nicht behalten, erst nach der Prüfung der neuen entfernen</translation>
    </message>
    <message>
        <source>Last:</source>
        <translation>Letzte:</translation>
    </message>
    <message>
        <source>Daily:</source>
        <translation>Täglich:</translation>
    </message>
    <message>
        <source>Weekly:</source>
        <translation>Wöchentlich:</translation>
    </message>
    <message>
        <source>Monthly:</source>
        <translation>Monatlich:</translation>
    </message>
    <message>
        <source>The newest versions kept, whatever their dates</source>
        <translation>So viele neueste Versionen werden behalten, gleich von welchem Datum</translation>
    </message>
    <message>
        <source>Days for which the newest version of the day is kept</source>
        <translation>Tage, für die die neueste Version des Tages behalten wird</translation>
    </message>
    <message>
        <source>Weeks for which the newest version of the week is kept</source>
        <translation>Wochen, für die die neueste Version der Woche behalten wird</translation>
    </message>
    <message>
        <source>Months for which the newest version of the month is kept</source>
        <translation>Monate, für die die neueste Version des Monats behalten wird</translation>
    </message>
</context>
<context>
    <name>trelmig::LastBackupLine</name>
    <message>
        <source>&amp;View Backup Runs...</source>
        <translation>Sicherungsläufe &amp;anzeigen...</translation>
    </message>
</context>
<context>
    <name>trelmig::LookInsideWindow</name>
    <message>
        <source>Look Inside %1</source>
        <translation>Einblick in %1</translation>
    </message>
    <message>
        <source>Data files and folders</source>
        <translation>Datendateien und Ordner</translation>
    </message>
    <message>
        <source>Search subject, sender, recipients and text</source>
        <translation>Betreff, Absender, Empfänger und Text durchsuchen</translation>
    </message>
    <message>
        <source>Search for</source>
        <translation>Suchen nach</translation>
    </message>
    <message>
        <source>This folder</source>
        <translation>Dieser Ordner</translation>
    </message>
    <message>
        <source>Whole data file</source>
        <translation>Ganze Datendatei</translation>
    </message>
    <message>
        <source>Search in</source>
        <translation>Suchen in</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>(shown from the HTML body)</source>
        <translation>(aus dem HTML-Text gezeigt)</translation>
    </message>
    <message>
        <source>Message text</source>
        <translation>Nachrichtentext</translation>
    </message>
    <message>
        <source>Save &amp;Messages...</source>
        <translation>&amp;Nachrichten speichern...</translation>
    </message>
    <message>
        <source>Save Folder as M&amp;box...</source>
        <translation>Ordner als M&amp;box speichern...</translation>
    </message>
    <message>
        <source>&amp;Recover Data File...</source>
        <translation>Datendatei &amp;wiederherstellen...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>%1 (opening...)</source>
        <translation>%1 (wird geöffnet...)</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>%1 wird geöffnet...</translation>
    </message>
    <message>
        <source>The data file %1 cannot be opened: %2</source>
        <translation>Die Datendatei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 (cannot be opened)</source>
        <translation>%1 (kann nicht geöffnet werden)</translation>
    </message>
    <message>
        <source>(unnamed folder)</source>
        <translation>(Ordner ohne Namen)</translation>
    </message>
    <message>
        <source>Choose a folder to search in, or search the whole data file.</source>
        <translation>Wählen Sie einen Ordner, in dem gesucht wird, oder durchsuchen Sie die ganze Datendatei.</translation>
    </message>
    <message>
        <source>Reading...</source>
        <translation>Wird gelesen...</translation>
    </message>
    <message>
        <source>Reading... (%1 so far)</source>
        <translation>Wird gelesen... (bisher %1)</translation>
    </message>
    <message>
        <source>Reading stopped after %1 messages: %2</source>
        <translation>Lesen nach %1 Nachrichten abgebrochen: %2</translation>
    </message>
    <message>
        <source>Found: %1</source>
        <translation>Gefunden: %1</translation>
    </message>
    <message>
        <source>Messages: %1</source>
        <translation>Nachrichten: %1</translation>
    </message>
    <message>
        <source>The message cannot be shown: %1</source>
        <translation>Die Nachricht kann nicht angezeigt werden: %1</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>Wird gespeichert...</translation>
    </message>
    <message>
        <source>Saving... (%1 so far)</source>
        <translation>Wird gespeichert... (bisher %1)</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>The messages could not be saved to %1: %2</source>
        <translation>Die Nachrichten konnten nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>1 message saved to %1</source>
        <translation>1 Nachricht in %1 gespeichert</translation>
    </message>
    <message>
        <source>%1 messages saved to %2</source>
        <translation>%1 Nachrichten in %2 gespeichert</translation>
    </message>
    <message>
        <source>Save Messages to Folder</source>
        <translation>Nachrichten in einen Ordner speichern</translation>
    </message>
    <message>
        <source>Save Folder as Mbox</source>
        <translation>Ordner als Mbox speichern</translation>
    </message>
    <message>
        <source>Mbox files (*.mbox);;All files (*)</source>
        <translation>Mbox-Dateien (*.mbox);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Recovering %1...</source>
        <translation>%1 wird wiederhergestellt...</translation>
    </message>
    <message>
        <source>The data file %1 could not be recovered: %2</source>
        <translation>Die Datendatei %1 konnte nicht wiederhergestellt werden: %2</translation>
    </message>
    <message>
        <source>Recovered as %1</source>
        <translation>Wiederhergestellt als %1</translation>
    </message>
    <message>
        <source>The data file %1 of the backup was recovered as

%2

beside the one Outlook uses, which is unchanged. To look at it in Outlook, choose File &gt; Open &gt; Outlook Data File... and open this file.</source>
        <translation>Die Datendatei %1 der Sicherung wurde wiederhergestellt als

%2

neben der Datei, die Outlook verwendet und die unverändert bleibt. Um sie in Outlook anzusehen, wählen Sie Datei &gt; Öffnen &gt; Outlook-Datendatei... und öffnen diese Datei.</translation>
    </message>
    <message>
        <source>%1: %2 folders</source>
        <translation>%1: %2 Ordner</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>trelmig::MainWindow</name>
    <message>
        <source>Quenvar Outlook Backup V2.60</source>
        <translation>Quenvar Outlook Backup V2.60</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Backup Now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Restore Now</source>
        <translation>Jetzt wiederherstellen</translation>
    </message>
    <message>
        <source>Open Wine Prefix...</source>
        <translation>Wine-Präfix öffnen...</translation>
    </message>
    <message>
        <source>Undo Last Restore...</source>
        <translation>Letzte Wiederherstellung rückgängig machen...</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Task Scheduler</source>
        <translation>Zeitplanung</translation>
    </message>
    <message>
        <source>Check for update</source>
        <translation>Nach Aktualisierung suchen</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>Backup and Restore IE favorites</source>
        <translation>IE-Favoriten sichern und wiederherstellen</translation>
    </message>
    <message>
        <source>Backup IE favorites</source>
        <translation>IE-Favoriten sichern</translation>
    </message>
    <message>
        <source>Restore IE favorites</source>
        <translation>IE-Favoriten wiederherstellen</translation>
    </message>
    <message>
        <source>Backup Data to CD/DVD</source>
        <translation>Daten auf CD/DVD sichern</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Our Website</source>
        <translation>Unsere Website</translation>
    </message>
    <message>
        <source>&amp;Backup Now</source>
        <translation>&amp;Jetzt sichern</translation>
    </message>
    <message>
        <source>&amp;Restore Now</source>
        <translation>Jetzt &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Wine prefix %1</source>
        <translation>Wine-Präfix %1</translation>
    </message>
    <message>
        <source>Open Windows User Folder...</source>
        <translation>Windows-Benutzerordner öffnen...</translation>
    </message>
    <message>
        <source>A backup or restore is running. Please wait until it has finished.</source>
        <translation>Eine Sicherung oder Wiederherstellung läuft. Bitte warten Sie, bis sie beendet ist.</translation>
    </message>
    <message>
        <source>Do you need to backup your data to CD-R/RW or DVD?</source>
        <translation>Möchten Sie Ihre Daten auf CD-R/RW oder DVD sichern?</translation>
    </message>
    <message>
        <source>A backup or restore is running. Do you want to cancel it and quit?</source>
        <translation>Eine Sicherung oder Wiederherstellung läuft. Möchten Sie sie abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Offer to Write Each Backup to a Disc</source>
        <translation>Nach jeder Sicherung das Brennen auf eine Disc anbieten</translation>
    </message>
    <message>
        <source>The backup could not be added to the runs log: %1</source>
        <translation>Die Sicherung konnte nicht in das Protokoll der Läufe eingetragen werden: %1</translation>
    </message>
    <message>
        <source>Please choose the repository&apos;s folder, or type its ssh:// address.</source>
        <translation>Bitte wählen Sie den Ordner des Repositorys, oder geben Sie seine ssh://-Adresse ein.</translation>
    </message>
    <message>
        <source>The repository address &quot;%1&quot; cannot be used: %2</source>
        <translation>Die Repository-Adresse &quot;%1&quot; ist nicht verwendbar: %2</translation>
    </message>
    <message>
        <source>The passphrase and its retyped copy differ. Please type the passphrase again in both boxes.</source>
        <translation>Die Passphrase und ihre Wiederholung stimmen nicht überein. Bitte geben Sie die Passphrase in beiden Feldern erneut ein.</translation>
    </message>
    <message>
        <source>The repository could not be opened: </source>
        <translation>Das Repository konnte nicht geöffnet werden: </translation>
    </message>
    <message>
        <source>The repository could not be opened: %1</source>
        <translation>Das Repository konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>%1 holds no repository. To make one there, type the passphrase that will protect it in both boxes.</source>
        <translation>In %1 ist kein Repository. Um dort eines anzulegen, geben Sie die Passphrase, die es schützen soll, in beiden Feldern ein.</translation>
    </message>
    <message>
        <source>%1 holds no repository.

Make Repository: make a new repository there, encrypted with the passphrase you typed, and back up into it?</source>
        <translation>In %1 ist kein Repository.

Repository anlegen: dort ein neues Repository anlegen, mit der eingegebenen Passphrase verschlüsselt, und hinein sichern?</translation>
    </message>
    <message>
        <source>The repository could not be made: </source>
        <translation>Das Repository konnte nicht angelegt werden: </translation>
    </message>
    <message>
        <source>The repository could not be made: %1</source>
        <translation>Das Repository konnte nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>The repository was made. Its passphrase alone opens it: keep the passphrase safe, since without it nobody can read the repository, you included.

Export Repository Key... saves the repository&apos;s key to a file to print and keep apart, for the day the key stored in the repository is damaged. Export the key now?</source>
        <translation>Das Repository wurde angelegt. Nur seine Passphrase öffnet es: bewahren Sie die Passphrase sicher auf, denn ohne sie kann niemand das Repository lesen, auch Sie nicht.

Repository-Schlüssel exportieren... speichert den Schlüssel des Repositorys in eine Datei, die Sie ausdrucken und getrennt aufbewahren, für den Tag, an dem der im Repository gespeicherte Schlüssel beschädigt ist. Den Schlüssel jetzt exportieren?</translation>
    </message>
    <message>
        <source>Export Repository Key</source>
        <translation>Repository-Schlüssel exportieren</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>the key could not be read</source>
        <translation>der Schlüssel konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The repository key was saved to %1.</source>
        <translation>Der Repository-Schlüssel wurde in %1 gespeichert.</translation>
    </message>
    <message>
        <source>The repository key was not exported: %1</source>
        <translation>Der Repository-Schlüssel wurde nicht exportiert: %1</translation>
    </message>
    <message>
        <source>Reading the repository&apos;s key...</source>
        <translation>Der Schlüssel des Repositorys wird gelesen...</translation>
    </message>
    <message>
        <source>Opening the repository...</source>
        <translation>Das Repository wird geöffnet...</translation>
    </message>
    <message>
        <source>Making the repository...</source>
        <translation>Das Repository wird angelegt...</translation>
    </message>
    <message>
        <source>The program is working on a repository. Please wait until it has finished.</source>
        <translation>Das Programm arbeitet an einem Repository. Bitte warten Sie, bis es fertig ist.</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>The program is working on a repository. Do you want to stop and quit?</source>
        <translation>Das Programm arbeitet an einem Repository. Möchten Sie es anhalten und beenden?</translation>
    </message>
</context>
<context>
    <name>trelmig::MessageListModel</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>To</source>
        <translation>An</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Attachments</source>
        <translation>Anlagen</translation>
    </message>
</context>
<context>
    <name>trelmig::PasswordDialog</name>
    <message>
        <source>Please enter password</source>
        <translation>Bitte Kennwort eingeben</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheit</translation>
    </message>
    <message>
        <source>Please enter password:</source>
        <translation>Bitte Kennwort eingeben:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>trelmig::PrefixChooser</name>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>no Outlook profile</source>
        <translation>kein Outlook-Profil</translation>
    </message>
    <message>
        <source>open now</source>
        <translation>jetzt geöffnet</translation>
    </message>
    <message>
        <source>Other &amp;folder...</source>
        <translation>Anderer &amp;Ordner...</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Wine prefix</source>
        <translation>Wine-Präfix</translation>
    </message>
    <message>
        <source>%1 is not a Wine prefix: it has no system.reg or user.reg beside a drive_c folder.</source>
        <translation>%1 ist kein Wine-Präfix: Es hat keine system.reg oder user.reg neben einem Ordner drive_c.</translation>
    </message>
    <message>
        <source>chosen folder</source>
        <translation>gewählter Ordner</translation>
    </message>
    <message>
        <source>Windows partition %1, read-only</source>
        <translation>Windows-Partition %1, nur lesend</translation>
    </message>
    <message>
        <source>Open Wine Prefix or Windows User Folder</source>
        <translation>Wine-Präfix oder Windows-Benutzerordner öffnen</translation>
    </message>
    <message>
        <source>&amp;Wine prefixes and Windows user folders found on this computer:</source>
        <translation>&amp;Wine-Präfixe und Windows-Benutzerordner auf diesem Computer:</translation>
    </message>
</context>
<context>
    <name>trelmig::ProgressPanel</name>
    <message>
        <source>Please Waiting</source>
        <translation>Bitte warten</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
</context>
<context>
    <name>trelmig::RepositoryAddressDialog</name>
    <message>
        <source>Open Repository</source>
        <translation>Repository öffnen</translation>
    </message>
    <message>
        <source>A folder, or ssh://user@host/path</source>
        <translation>Ein Ordner oder ssh://benutzer@rechner/pfad</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Repository folder or address</source>
        <translation>Ordner oder Adresse des Repositorys</translation>
    </message>
    <message>
        <source>Choose the Repository Folder</source>
        <translation>Ordner des Repositorys wählen</translation>
    </message>
</context>
<context>
    <name>trelmig::RestoreTab</name>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Backup file to restore from</source>
        <translation>Sicherungsdatei für die Wiederherstellung</translation>
    </message>
    <message>
        <source>Backup file information</source>
        <translation>Angaben zur Sicherungsdatei</translation>
    </message>
    <message>
        <source>Description of the backup file</source>
        <translation>Beschreibung der Sicherungsdatei</translation>
    </message>
    <message>
        <source>Restore to profile</source>
        <translation>In Profil wiederherstellen</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Choose a Backup File to Restore From</source>
        <translation>Sicherungsdatei für die Wiederherstellung wählen</translation>
    </message>
    <message>
        <source>Items to restore</source>
        <translation>Wiederherzustellende Elemente</translation>
    </message>
    <message>
        <source>Select all items</source>
        <translation>Alle Elemente auswählen</translation>
    </message>
    <message>
        <source>Deselect all items</source>
        <translation>Auswahl aller Elemente aufheben</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup File (*.kvx)</source>
        <translation>Quenvar-Outlook-Sicherungsdatei (*.kvx)</translation>
    </message>
    <message>
        <source>Restore Date from a Backup file</source>
        <translation>Daten aus einer Sicherungsdatei wiederherstellen</translation>
    </message>
    <message>
        <source>New profile...</source>
        <translation>Neues Profil...</translation>
    </message>
    <message>
        <source>Please enter the name of the new profile.</source>
        <translation>Bitte geben Sie den Namen des neuen Profils ein.</translation>
    </message>
    <message>
        <source>There is a profile &quot;%1&quot; already: choose it in the list, or enter another name.</source>
        <translation>Es gibt schon ein Profil &quot;%1&quot;: wählen Sie es in der Liste, oder geben Sie einen anderen Namen ein.</translation>
    </message>
    <message>
        <source>Restore from</source>
        <translation>Wiederherstellen aus</translation>
    </message>
    <message>
        <source>Restore into</source>
        <translation>Wiederherstellen in</translation>
    </message>
    <message>
        <source>Look Inside...</source>
        <translation>Einblick...</translation>
    </message>
    <message>
        <source>The data files of this backup, their folders and messages, without restoring</source>
        <translation>Die Datendateien dieser Sicherung, ihre Ordner und Nachrichten, ohne Wiederherstellung</translation>
    </message>
    <message>
        <source>Open Repository...</source>
        <translation>Repository öffnen...</translation>
    </message>
    <message>
        <source>Restore from a version in a BorgBackup repository</source>
        <translation>Aus einer Version in einem BorgBackup-Repository wiederherstellen</translation>
    </message>
    <message>
        <source>The repository address &quot;%1&quot; cannot be used: %2</source>
        <translation>Die Repository-Adresse &quot;%1&quot; ist nicht verwendbar: %2</translation>
    </message>
    <message>
        <source>The repository %1 cannot be opened: %2</source>
        <translation>Das Repository %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>The repository holds no version yet.</source>
        <translation>Das Repository enthält noch keine Version.</translation>
    </message>
    <message>
        <source>The version %1 cannot be read: %2</source>
        <translation>Die Version %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Reading the versions in the repository...</source>
        <translation>Die Versionen im Repository werden gelesen...</translation>
    </message>
    <message>
        <source>Reading the version out of the repository...</source>
        <translation>Die Version wird aus dem Repository gelesen...</translation>
    </message>
</context>
<context>
    <name>trelmig::RunsDialog</name>
    <message>
        <source>Backup Runs</source>
        <translation>Sicherungsläufe</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Begonnen</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Backup file</source>
        <translation>Sicherungsdatei</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>&amp;Warn when no backup succeeded for this many days:</source>
        <translation>&amp;Warnen, wenn so viele Tage keine Sicherung gelungen ist:</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>trelmig::ScheduleDialog</name>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Task Scheduler</source>
        <translation>Zeitplanung</translation>
    </message>
    <message>
        <source>What</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Profile to backup</source>
        <translation>Zu sicherndes Profil</translation>
    </message>
    <message>
        <source>Items to backup</source>
        <translation>Zu sichernde Elemente</translation>
    </message>
    <message>
        <source>Select all items</source>
        <translation>Alle Elemente auswählen</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Start backup at</source>
        <translation>Sicherung starten um</translation>
    </message>
    <message>
        <source>Run daily</source>
        <translation>Täglich ausführen</translation>
    </message>
    <message>
        <source>Add Task to Scheduler</source>
        <translation>Aufgabe zum Zeitplan hinzufügen</translation>
    </message>
    <message>
        <source>Open Scheduler</source>
        <translation>Zeitplan öffnen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source> MS Outlook 2007 don&apos;t support Personal Address Book!</source>
        <translation> Outlook ab 2007 kennt kein persönliches Adressbuch!</translation>
    </message>
    <message>
        <source>Save Outlook Data as</source>
        <translation>Outlook-Daten speichern unter</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup File (*.kvx)</source>
        <translation>Quenvar-Outlook-Sicherungsdatei (*.kvx)</translation>
    </message>
    <message>
        <source>Choose the Repository Folder</source>
        <translation>Ordner des Repositorys wählen</translation>
    </message>
    <message>
        <source>The repository address &quot;%1&quot; cannot be used: %2</source>
        <translation>Die Repository-Adresse &quot;%1&quot; ist nicht verwendbar: %2</translation>
    </message>
    <message>
        <source>it is empty</source>
        <translation>sie ist leer</translation>
    </message>
    <message>
        <source>The passphrase and its retyped copy differ. Please type the passphrase again in both boxes.</source>
        <translation>Die Passphrase und ihre Wiederholung stimmen nicht überein. Bitte geben Sie die Passphrase in beiden Feldern erneut ein.</translation>
    </message>
</context>
<context>
    <name>trelmig::ScheduledJobsDialog</name>
    <message>
        <source>Scheduled Tasks</source>
        <translation>Geplante Aufgaben</translation>
    </message>
    <message>
        <source>&amp;Remove Task</source>
        <translation>Aufgabe &amp;entfernen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>The scheduled tasks cannot be read: %1</source>
        <translation>Die geplanten Aufgaben können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Remove task %1 from the scheduler?</source>
        <translation>Aufgabe %1 aus der Planung entfernen?</translation>
    </message>
    <message>
        <source>Task %1 no longer exists.</source>
        <translation>Aufgabe %1 gibt es nicht mehr.</translation>
    </message>
    <message>
        <source>Task %1 could not be removed: %2</source>
        <translation>Aufgabe %1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>trelmig::SplashScreen</name>
    <message>
        <source>Quenvar Outlook Backup</source>
        <translation>Quenvar Outlook Backup</translation>
    </message>
</context>
</TS>
