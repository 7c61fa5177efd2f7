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
</TS>
