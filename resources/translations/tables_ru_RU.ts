<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>By name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Other columns</source>
        <translation>Другие столбцы</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Редактировать</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Открыть файл</translation>
    </message>
</context>
<context>
    <name>PatientsListWidget</name>
    <message>
        <source>Search patients</source>
        <translation>Поиск пациентов</translation>
    </message>
</context>
</TS>
