<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>DatabaseCopy</name>
    <message>
        <source>%1, row %2: %3</source>
        <translation>%1, строка %2: %3</translation>
    </message>
    <message>
        <source>Nothing was copied</source>
        <translation>Ничего не скопировано</translation>
    </message>
    <message>
        <source>There is no database file at %1</source>
        <translation>Нет файла базы данных: %1</translation>
    </message>
    <message>
        <source>The file was written by a newer version of the program</source>
        <translation>Файл записан более новой версией программы</translation>
    </message>
    <message>
        <source>The server database already holds rows in %1</source>
        <translation>В базе данных на сервере уже есть строки в таблице %1</translation>
    </message>
    <message>
        <source>%1: %2 rows on the server, %3 in the file</source>
        <translation>%1: на сервере строк %2, в файле %3</translation>
    </message>
    <message>
        <source>%1: the column %2 differs on the server</source>
        <translation>%1: столбец %2 на сервере отличается</translation>
    </message>
    <message>
        <source>%1: the rows differ on the server</source>
        <translation>%1: строки на сервере отличаются</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n rows</source>
        <translation>
            <numerusform>%1: %n строка</numerusform>
            <numerusform>%1: %n строки</numerusform>
            <numerusform>%1: %n строк</numerusform>
        </translation>
    </message>
    <message>
        <source>Copied to %1, every column checked:</source>
        <translation>Скопировано в %1, все столбцы проверены:</translation>
    </message>
</context>
<context>
    <name>DatabaseCopyCommand</name>
    <message>
        <source>Copy local database to server</source>
        <translation>Скопировать локальную базу на сервер</translation>
    </message>
    <message>
        <source>Copy the patients of %1 onto the server %2? The file stays as it is.</source>
        <translation>Скопировать пациентов из %1 на сервер %2? Файл останется без изменений.</translation>
    </message>
    <message>
        <source>No database server is set: set ServerHost in %1</source>
        <translation>Сервер базы данных не задан: укажите ServerHost в %1</translation>
    </message>
    <message>
        <source>Password of %1</source>
        <translation>Пароль для %1</translation>
    </message>
    <message>
        <source>Give the password in ~/.pgpass, or type it at a terminal.</source>
        <translation>Укажите пароль в ~/.pgpass или введите его в терминале.</translation>
    </message>
    <message>
        <source>SQLite database (*.sqlite)</source>
        <translation>База данных SQLite (*.sqlite)</translation>
    </message>
</context>
<context>
    <name>EditConflict</name>
    <message>
        <source>Another workstation has removed this entry meanwhile</source>
        <translation>Тем временем другое рабочее место удалило эту запись</translation>
    </message>
    <message>
        <source>Another workstation has changed it meanwhile to: %1</source>
        <translation>Тем временем другое рабочее место изменило значение на: %1</translation>
    </message>
</context>
<context>
    <name>ServerPasswordPrompt</name>
    <message>
        <source>Password of %1</source>
        <translation>Пароль для %1</translation>
    </message>
    <message>
        <source>Database server</source>
        <translation>Сервер базы данных</translation>
    </message>
</context>
</TS>
