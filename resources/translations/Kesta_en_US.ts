<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
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
</context>
</TS>
