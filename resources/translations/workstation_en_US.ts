<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientCountLine</name>
    <message>
        <source>No patients match</source>
        <translation>No patients match</translation>
    </message>
    <message>
        <source>Patients: %1</source>
        <translation>Patients: %1</translation>
    </message>
    <message>
        <source>Found: %1 of %2</source>
        <translation>Found: %1 of %2</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>The interface language changes at the next start of the program.</source>
        <translation>The interface language changes at the next start of the program.</translation>
    </message>
    <message>
        <source>Takes effect at the next start of the program: %1.</source>
        <translation>Takes effect at the next start of the program: %1.</translation>
    </message>
    <message>
        <source>This folder cannot be the data folder</source>
        <translation>This folder cannot be the data folder</translation>
    </message>
    <message>
        <source>&amp;Test connection</source>
        <translation>&amp;Test connection</translation>
    </message>
    <message>
        <source>Signs in to the server with the settings shown and says what it finds</source>
        <translation>Signs in to the server with the settings shown and says what it finds</translation>
    </message>
    <message>
        <source>No server is set: the database is the file on this computer.</source>
        <translation>No server is set: the database is the file on this computer.</translation>
    </message>
    <message>
        <source>Connecting to %1…</source>
        <translation>Connecting to %1…</translation>
    </message>
</context>
<context>
    <name>WindowCommands</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Open record...</source>
        <translation>&amp;Open record...</translation>
    </message>
    <message>
        <source>&amp;New patient</source>
        <translation>&amp;New patient</translation>
    </message>
    <message>
        <source>&amp;Edit patient</source>
        <translation>&amp;Edit patient</translation>
    </message>
    <message>
        <source>Re&amp;move patient</source>
        <translation>Re&amp;move patient</translation>
    </message>
    <message>
        <source>New e&amp;xamination</source>
        <translation>New e&amp;xamination</translation>
    </message>
    <message>
        <source>&amp;Reload database</source>
        <translation>&amp;Reload database</translation>
    </message>
    <message>
        <source>&amp;Settings...</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>&amp;About app</source>
        <translation>&amp;About app</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Patients table</source>
        <translation>&amp;Patients table</translation>
    </message>
    <message>
        <source>&amp;Records table</source>
        <translation>&amp;Records table</translation>
    </message>
    <message>
        <source>Patient &amp;card view</source>
        <translation>Patient &amp;card view</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
</context>
<context>
    <name>ServerCheck</name>
    <message>
        <source>Connected: the database has layout version %1.</source>
        <translation>Connected: the database has layout version %1.</translation>
    </message>
    <message>
        <source>Connected: the database is empty; the program lays it out at its next start.</source>
        <translation>Connected: the database is empty; the program lays it out at its next start.</translation>
    </message>
    <message>
        <source>The server refused the password of %1 (libpq reads it from ~/.pgpass).</source>
        <translation>The server refused the password of %1 (libpq reads it from ~/.pgpass).</translation>
    </message>
    <message>
        <source>No answer from %1:%2 within %3 s.</source>
        <translation>No answer from %1:%2 within %3 s.</translation>
    </message>
    <message>
        <source>The server has no database named %1.</source>
        <translation>The server has no database named %1.</translation>
    </message>
    <message>
        <source>The connection failed: %1</source>
        <translation>The connection failed: %1</translation>
    </message>
</context>
</TS>
