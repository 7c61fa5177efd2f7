<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>%1 (process id %2)</source>
        <translation>%1 (process id %2)</translation>
    </message>
    <message>
        <source>a program of user %1</source>
        <translation>a program of user %1</translation>
    </message>
</context>
<context>
    <name>OrvalisExchange</name>
    <message>
        <source>Its name leads outside the patient&apos;s folder</source>
        <translation>Its name leads outside the patient&apos;s folder</translation>
    </message>
</context>
<context>
    <name>RecorderLaunchWarning</name>
    <message>
        <source>Recorder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No recorder is installed. It was looked for in these places:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recorder cannot be started:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Places looked in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recorder is not started: it could not talk to this program, since port %1 is taken by another program. The port is tried again every %2 seconds.</source>
        <translation>The recorder is not started: it could not talk to this program, since port %1 is taken by another program. The port is tried again every %2 seconds.</translation>
    </message>
    <message>
        <source>Held by:</source>
        <translation>Held by:</translation>
    </message>
</context>
<context>
    <name>RecordingRegistration</name>
    <message>
        <source>Its comment is longer than the %1 characters the database keeps; this part of it was not stored</source>
        <translation>Its comment is longer than the %1 characters the database keeps; this part of it was not stored</translation>
    </message>
    <message>
        <source>No patient was selected</source>
        <translation>No patient was selected</translation>
    </message>
    <message>
        <source>No database is open</source>
        <translation>No database is open</translation>
    </message>
    <message>
        <source>The comment was not stored: %1</source>
        <translation>The comment was not stored: %1</translation>
    </message>
    <message>
        <source>The patient is not in the database</source>
        <translation>The patient is not in the database</translation>
    </message>
</context>
<context>
    <name>UnregisteredRecordingsNotice</name>
    <message>
        <source>No patient</source>
        <translation>No patient</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>Recordings not registered</source>
        <translation>Recordings not registered</translation>
    </message>
    <message>
        <source>Register them now?</source>
        <translation>Register them now?</translation>
    </message>
    <message>
        <source>Try again</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Not stored:</source>
        <translation>Not stored:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>These recordings, or parts of their comments, were not stored in the database. Their files stay where they are:</source>
        <translation>These recordings, or parts of their comments, were not stored in the database. Their files stay where they are:</translation>
    </message>
</context>
</TS>
