<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
        <translation>Нажмите, чтобы скачать новую версию</translation>
    </message>
</context>
</TS>
