<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BasePropertyView</name>
    <message>
        <source>Set default to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore default</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ColorPropertyView</name>
    <message>
        <source>Choose colour</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DateField</name>
    <message>
        <source>dd.mm.yyyy</source>
        <translation>dd.mm.yyyy</translation>
    </message>
    <message>
        <source>Calendar (Alt+Down)</source>
        <translation>Calendar (Alt+Down)</translation>
    </message>
    <message>
        <source>dd.mm.yyyy hh:mm</source>
        <translation>dd.mm.yyyy hh:mm</translation>
    </message>
    <message>
        <source>yyyy-mm-dd</source>
        <translation>yyyy-mm-dd</translation>
    </message>
    <message>
        <source>yyyy-mm-dd hh:mm</source>
        <translation>yyyy-mm-dd hh:mm</translation>
    </message>
    <message>
        <source>No such date</source>
        <translation>No such date</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DoublePropertyView</name>
    <message>
        <source>Suggested values</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Other</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PropertyListControl</name>
    <message>
        <source>Fields</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PropertyTabWidget</name>
    <message>
        <source>Sections</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SpecialPropertyView</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
