<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Application</name>
    <message>
        <source>The Wine prefix opened last, %1, is no longer there. The window shows %2 instead.</source>
        <translation>Das zuletzt geöffnete Wine-Präfix %1 gibt es nicht mehr. Das Fenster zeigt stattdessen %2.</translation>
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
</context>
<context>
    <name>trelmig::DiscWriteWindow</name>
    <message>
        <source>Remove all files and folders from the disc layout?</source>
        <translation>Alle Dateien und Ordner aus der Disc-Zusammenstellung entfernen?</translation>
    </message>
</context>
<context>
    <name>trelmig::MainWindow</name>
    <message>
        <source>Profile to backup</source>
        <translation>Zu sicherndes Profil</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
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
        <source>What</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Items to backup</source>
        <translation>Zu sichernde Elemente</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Wohin</translation>
    </message>
    <message>
        <source>A note stored with the backup</source>
        <translation>Eine Notiz, die mit der Sicherung gespeichert wird</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Choose a backup finename</source>
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
        <source>Choose a Backup File to Restore From</source>
        <translation>Sicherungsdatei für die Wiederherstellung wählen</translation>
    </message>
    <message>
        <source>Items to restore</source>
        <translation>Wiederherzustellende Elemente</translation>
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
        <source>File(&amp;F)</source>
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
        <source>Option(&amp;O)</source>
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
        <source>Help(&amp;H)</source>
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
        <source>Select all items</source>
        <translation>Alle Elemente auswählen</translation>
    </message>
    <message>
        <source>Deselect all items</source>
        <translation>Auswahl aller Elemente aufheben</translation>
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
        <source>Save Outlook Data as</source>
        <translation>Outlook-Daten speichern unter</translation>
    </message>
    <message>
        <source>Quenvar Outlook Backup File (*.kvx)</source>
        <translation>Quenvar-Outlook-Sicherungsdatei (*.kvx)</translation>
    </message>
    <message>
        <source>Restore Date from a Backup file</source>
        <translation>Daten aus einer Sicherungsdatei wiederherstellen</translation>
    </message>
</context>
<context>
    <name>trelmig::PrefixChooser</name>
    <message>
        <source>Windows partition %1, read-only</source>
        <translation>Windows-Partition %1, nur lesend</translation>
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
    <name>trelmig::BackupVersionsList</name>
    <message>
        <source>Versions of this backup, newest first</source>
        <translation>Versionen dieser Sicherung, neueste zuerst</translation>
    </message>
    <message>
        <source>(partial: some items are missing)</source>
        <translation>(unvollständig: einige Elemente fehlen)</translation>
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
        <source>Where</source>
        <translation>Wohin</translation>
    </message>
    <message>
        <source>Choose a Backup Filename</source>
        <translation>Name der Sicherungsdatei wählen</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
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
        <source> MS Outlook 2007 don't support Personal Address Book!</source>
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
</context>
</TS>
