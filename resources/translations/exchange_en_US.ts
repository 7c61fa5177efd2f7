<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
</context>
</TS>
