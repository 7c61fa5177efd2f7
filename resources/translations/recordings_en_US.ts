<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>EdfFacts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>The file cannot be opened: %1.</source>
        <translation>The file cannot be opened: %1.</translation>
    </message>
    <message>
        <source>This is not an EDF or BDF file.</source>
        <translation>This is not an EDF or BDF file.</translation>
    </message>
    <message>
        <source>The file ends inside its header.</source>
        <translation>The file ends inside its header.</translation>
    </message>
    <message>
        <source>The file is incomplete: it holds %1 of the %2 data records its header announces.</source>
        <translation>The file is incomplete: it holds %1 of the %2 data records its header announces.</translation>
    </message>
    <message>
        <source>The recording was not finished: its header does not say how long it is.</source>
        <translation>The recording was not finished: its header does not say how long it is.</translation>
    </message>
    <message>
        <source>The file is longer than its header says.</source>
        <translation>The file is longer than its header says.</translation>
    </message>
    <message>
        <source>The file header is damaged.</source>
        <translation>The file header is damaged.</translation>
    </message>
    <message>
        <source>Interrupted (EDF+D) recordings are not supported.</source>
        <translation>Interrupted (EDF+D) recordings are not supported.</translation>
    </message>
</context>
</TS>
