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
        <source>its tables could not be read</source>
        <translation>не удалось прочитать список её таблиц</translation>
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
    <message numerus="yes">
        <source>%n recordings copied into %1, each checked</source>
        <translation>
            <numerusform>%n запись скопирована в %1 и проверена</numerusform>
            <numerusform>%n записи скопированы в %1 и проверены</numerusform>
            <numerusform>%n записей скопировано в %1 и проверено</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied, missing in the old folder or named outside its patient&apos;s folder: %1</source>
        <translation>Не скопировано: нет в прежней папке или указано вне папки пациента: %1</translation>
    </message>
</context>
<context>
    <name>DatabaseCopyCommand</name>
    <message>
        <source>Copy local database to server</source>
        <translation>Скопировать локальную базу на сервер</translation>
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
    <message>
        <source>Copy the patients of %1 onto the server %2, and their recordings into %3? The file and its folder stay as they are.</source>
        <translation>Скопировать пациентов из %1 на сервер %2, а их записи в %3? Файл и его папка останутся как есть.</translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation>%1 не удаётся создать</translation>
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
        <source>The server refused the password.</source>
        <translation>Сервер отклонил пароль.</translation>
    </message>
    <message>
        <source>Password of %1</source>
        <translation>Пароль для %1</translation>
    </message>
    <message>
        <source>Database server</source>
        <translation>Сервер базы данных</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>The server %1 is still answering another call</source>
        <translation>Сервер %1 ещё отвечает на другой запрос</translation>
    </message>
    <message>
        <source>The server %1 did not answer within %2 s</source>
        <translation>Сервер %1 не ответил за %2 с</translation>
    </message>
    <message>
        <source>The server %1 did not confirm the write, and whether it was stored is not known: look again in a moment</source>
        <translation>Сервер %1 не подтвердил запись, и неизвестно, сохранена ли она: проверьте чуть позже</translation>
    </message>
</context>
</TS>
