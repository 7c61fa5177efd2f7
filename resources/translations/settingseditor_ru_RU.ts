<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>BasePropertyView</name>
    <message>
        <source>Set default to</source>
        <translation>Сбросить на значение по умолчанию</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Other</source>
        <translation>Прочее</translation>
    </message>
</context>
<context>
    <name>SpecialPropertyView</name>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
</context>
</TS>
