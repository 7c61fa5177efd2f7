<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>BasePropertyView</name>
    <message>
        <source>Set default to</source>
        <translation>Сбросить на значение по умолчанию</translation>
    </message>
    <message>
        <source>Restore default</source>
        <translation>Вернуть значение по умолчанию</translation>
    </message>
</context>
<context>
    <name>ColorPropertyView</name>
    <message>
        <source>Choose colour</source>
        <translation>Выбрать цвет</translation>
    </message>
</context>
<context>
    <name>DateField</name>
    <message>
        <source>dd.mm.yyyy</source>
        <translation>дд.мм.гггг</translation>
    </message>
    <message>
        <source>Calendar (Alt+Down)</source>
        <translation>Календарь (Alt+Down)</translation>
    </message>
    <message>
        <source>dd.mm.yyyy hh:mm</source>
        <translation>дд.мм.гггг чч:мм</translation>
    </message>
    <message>
        <source>yyyy-mm-dd</source>
        <translation>гггг-мм-дд</translation>
    </message>
    <message>
        <source>yyyy-mm-dd hh:mm</source>
        <translation>гггг-мм-дд чч:мм</translation>
    </message>
    <message>
        <source>No such date</source>
        <translation>Такой даты нет</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Календарь</translation>
    </message>
</context>
<context>
    <name>DoublePropertyView</name>
    <message>
        <source>Suggested values</source>
        <translation>Предлагаемые значения</translation>
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
    <name>PropertyListControl</name>
    <message>
        <source>Fields</source>
        <translation>Поля</translation>
    </message>
</context>
<context>
    <name>PropertyTabWidget</name>
    <message>
        <source>Sections</source>
        <translation>Разделы</translation>
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
