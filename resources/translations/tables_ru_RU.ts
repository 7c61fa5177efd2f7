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
        <source>Show in explorer</source>
        <translation>Показать в папке</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>FullName</source>
        <translation>ФИО</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>Фамилия</translation>
    </message>
    <message>
        <source>Initials</source>
        <translation>Фамилия И. О.</translation>
    </message>
    <message>
        <source>PatientID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Возраст</translation>
    </message>
    <message>
        <source>LastVisit</source>
        <translation>Последний визит</translation>
    </message>
    <message>
        <source>FirstVisit</source>
        <translation>Первый визит</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>RecordDate</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>RecordType</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>Файл</translation>
    </message>
</context>
</TS>
