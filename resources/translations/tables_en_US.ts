<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>By name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other columns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientsListWidget</name>
    <message>
        <source>Search patients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Names, ID or birth date; Ctrl+F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Male</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Female</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sex not given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No patients yet. Add the first one with File, New patient (Ctrl+N).</source>
        <translation>No patients yet. Add the first one with File, New patient (Ctrl+N).</translation>
    </message>
    <message>
        <source>No patient matches the search. Escape clears it.</source>
        <translation>No patient matches the search. Escape clears it.</translation>
    </message>
</context>
<context>
    <name>RecordsTable</name>
    <message>
        <source>Open in EEG viewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not registered: no record of the database lists this file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording file is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recordings of the patient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File unreadable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File present</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trace page…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conclusion (%1, %2):</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
