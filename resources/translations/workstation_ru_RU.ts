<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientCountLine</name>
    <message>
        <source>No patients match</source>
        <translation>Нет подходящих пациентов</translation>
    </message>
    <message>
        <source>Patients: %1</source>
        <translation>Пациентов: %1</translation>
    </message>
    <message>
        <source>Found: %1 of %2</source>
        <translation>Найдено: %1 из %2</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>The interface language changes at the next start of the program.</source>
        <translation>Язык интерфейса сменится при следующем запуске программы.</translation>
    </message>
    <message>
        <source>Takes effect at the next start of the program: %1.</source>
        <translation>Вступит в силу при следующем запуске программы: %1.</translation>
    </message>
    <message>
        <source>This folder cannot be the data folder</source>
        <translation>Эта папка не может быть папкой данных</translation>
    </message>
    <message>
        <source>&amp;Test connection</source>
        <translation>&amp;Проверить соединение</translation>
    </message>
    <message>
        <source>Signs in to the server with the settings shown and says what it finds</source>
        <translation>Подключается к серверу с показанными настройками и сообщает, что получилось</translation>
    </message>
    <message>
        <source>No server is set: the database is the file on this computer.</source>
        <translation>Сервер не задан: база данных — файл на этом компьютере.</translation>
    </message>
    <message>
        <source>Connecting to %1…</source>
        <translation>Подключение к %1…</translation>
    </message>
</context>
<context>
    <name>WindowCommands</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Open record...</source>
        <translation>&amp;Открыть запись...</translation>
    </message>
    <message>
        <source>&amp;New patient</source>
        <translation>&amp;Новый пациент</translation>
    </message>
    <message>
        <source>&amp;Edit patient</source>
        <translation>&amp;Изменить пациента</translation>
    </message>
    <message>
        <source>Re&amp;move patient</source>
        <translation>&amp;Удалить пациента</translation>
    </message>
    <message>
        <source>New e&amp;xamination</source>
        <translation>Новое о&amp;бследование</translation>
    </message>
    <message>
        <source>&amp;Reload database</source>
        <translation>&amp;Перечитать базу данных</translation>
    </message>
    <message>
        <source>&amp;Settings...</source>
        <translation>Н&amp;астройки...</translation>
    </message>
    <message>
        <source>&amp;About app</source>
        <translation>О про&amp;грамме</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Patients table</source>
        <translation>&amp;Таблица пациентов</translation>
    </message>
    <message>
        <source>&amp;Records table</source>
        <translation>Таблица &amp;записей</translation>
    </message>
    <message>
        <source>Patient &amp;card view</source>
        <translation>&amp;Карточка пациента</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Выход</translation>
    </message>
</context>
<context>
    <name>ServerCheck</name>
    <message>
        <source>Connected: the database has layout version %1.</source>
        <translation>Соединение установлено: версия структуры базы данных %1.</translation>
    </message>
    <message>
        <source>Connected: the database is empty; the program lays it out at its next start.</source>
        <translation>Соединение установлено: база данных пуста; программа создаст её структуру при следующем запуске.</translation>
    </message>
    <message>
        <source>The server refused the password of %1 (libpq reads it from ~/.pgpass).</source>
        <translation>Сервер отклонил пароль пользователя %1 (libpq читает его из ~/.pgpass).</translation>
    </message>
    <message>
        <source>No answer from %1:%2 within %3 s.</source>
        <translation>Нет ответа от %1:%2 за %3 с.</translation>
    </message>
    <message>
        <source>The server has no database named %1.</source>
        <translation>На сервере нет базы данных %1.</translation>
    </message>
    <message>
        <source>The connection failed: %1</source>
        <translation>Соединение не удалось: %1</translation>
    </message>
</context>
</TS>
