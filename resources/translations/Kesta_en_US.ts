<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutBox</name>
    <message>
        <source>Program version</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Qt version</source>
        <translation>Qt version</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Data folder</translation>
    </message>
    <message>
        <source>Database file</source>
        <translation>Database file</translation>
    </message>
    <message>
        <source>Settings file</source>
        <translation>Settings file</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>Create patient</source>
        <translation>Create patient</translation>
    </message>
    <message>
        <source>Edit patient</source>
        <translation>Edit patient</translation>
    </message>
    <message>
        <source>About app</source>
        <translation>About app</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Talvena</source>
        <translation>Talvena</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Orvalis: database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An empty database was created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error creating an empty database at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error renaming patient directory</source>
        <translation>Error renaming patient directory</translation>
    </message>
    <message>
        <source>Fill unique patient id</source>
        <translation>Fill unique patient id</translation>
    </message>
    <message>
        <source>This patient id is already used</source>
        <translation>This patient id is already used</translation>
    </message>
    <message>
        <source>Fill patient name</source>
        <translation>Fill patient name</translation>
    </message>
    <message>
        <source>Patient id and names must not contain / \ : * ? &quot; &lt; &gt; | or control characters</source>
        <translation>Patient id and names must not contain / \ : * ? &quot; &lt; &gt; | or control characters</translation>
    </message>
    <message>
        <source>Another patient has the same folder:</source>
        <translation>Another patient has the same folder:</translation>
    </message>
    <message>
        <source>%1: at most %2 characters</source>
        <translation>%1: at most %2 characters</translation>
    </message>
    <message>
        <source>A patient with the same name and birth date exists:</source>
        <translation>A patient with the same name and birth date exists:</translation>
    </message>
    <message>
        <source>Error creating patient</source>
        <translation>Error creating patient</translation>
    </message>
    <message>
        <source>New examination</source>
        <translation>New examination</translation>
    </message>
    <message>
        <source>We recommend to upgrade to version</source>
        <translation>We recommend to upgrade to version</translation>
    </message>
    <message>
        <source>Current version</source>
        <translation>Current version</translation>
    </message>
    <message>
        <source>is outdated.</source>
        <translation>is outdated.</translation>
    </message>
    <message>
        <source>Would you like to upgrade now?</source>
        <translation>Would you like to upgrade now?</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>New version</translation>
    </message>
    <message>
        <source>The download address was not opened</source>
        <translation>The download address was not opened</translation>
    </message>
    <message>
        <source>The patient&apos;s folder name cannot be used</source>
        <translation>The patient&apos;s folder name cannot be used</translation>
    </message>
    <message>
        <source>The records cannot be read</source>
        <translation>The records cannot be read</translation>
    </message>
    <message>
        <source>The patient database cannot be used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The change was not saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit record</source>
        <translation>Edit record</translation>
    </message>
    <message>
        <source>Starts the recorder for the selected patient (Ctrl+Enter)</source>
        <translation>Starts the recorder for the selected patient (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>No file manager could be started to show</source>
        <translation>No file manager could be started to show</translation>
    </message>
    <message>
        <source>%1: no such date</source>
        <translation>%1: no such date</translation>
    </message>
</context>
<context>
    <name>PatientEditor</name>
    <message>
        <source>Patient card</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordCommands</name>
    <message>
        <source>Recording &amp;preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EDF recordings (*.edf)</source>
        <translation>EDF recordings (*.edf)</translation>
    </message>
</context>
</TS>
