<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Orvalis: database</source>
        <translation>Orvalis: база данных</translation>
    </message>
    <message>
        <source>An empty database was created</source>
        <translation>Создана пустая база данных</translation>
    </message>
    <message>
        <source>Error creating an empty database at</source>
        <translation>Не удалось создать пустую базу данных</translation>
    </message>
    <message>
        <source>The patient database cannot be used</source>
        <translation>Базу данных пациентов невозможно использовать</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выйти</translation>
    </message>
    <message>
        <source>The change was not saved</source>
        <translation>Изменение не сохранено</translation>
    </message>
</context>
</TS>
