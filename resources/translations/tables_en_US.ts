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
        <source>Show in explorer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FullName</source>
        <translation>Full name</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>Last name</translation>
    </message>
    <message>
        <source>Initials</source>
        <translation>Initials</translation>
    </message>
    <message>
        <source>PatientID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>LastVisit</source>
        <translation>Last visit</translation>
    </message>
    <message>
        <source>FirstVisit</source>
        <translation>First visit</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RecordDate</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>RecordType</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>File</translation>
    </message>
</context>
</TS>
