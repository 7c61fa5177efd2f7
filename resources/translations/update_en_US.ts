<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>kesta</source>
        <translation>Kesta</translation>
    </message>
</context>
<context>
    <name>NewVersionChecker</name>
    <message>
        <source>Click to download new version</source>
        <translation>Click to download new version</translation>
    </message>
</context>
</TS>
