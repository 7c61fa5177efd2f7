<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Create patient</source>
        <translation>Создание пациента</translation>
    </message>
    <message>
        <source>Edit patient</source>
        <translation>Редактирование пациента</translation>
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
        <source>Error renaming patient directory</source>
        <translation>Не удалось переименовать папку пациента</translation>
    </message>
    <message>
        <source>Fill unique patient id</source>
        <translation>Укажите уникальный идентификатор пациента</translation>
    </message>
    <message>
        <source>This patient id is already used</source>
        <translation>Этот идентификатор пациента уже используется</translation>
    </message>
    <message>
        <source>Fill patient name</source>
        <translation>Укажите ФИО пациента</translation>
    </message>
    <message>
        <source>Patient id and names must not contain / \ : * ? &quot; &lt; &gt; | or control characters</source>
        <translation>Идентификатор и ФИО пациента не должны содержать / \ : * ? &quot; &lt; &gt; | и управляющие символы</translation>
    </message>
    <message>
        <source>Another patient has the same folder:</source>
        <translation>Такая папка уже есть у другого пациента:</translation>
    </message>
    <message>
        <source>%1: at most %2 characters</source>
        <translation>%1: не более %2 символов</translation>
    </message>
    <message>
        <source>A patient with the same name and birth date exists:</source>
        <translation>Уже есть пациент с такими же фамилией, именем и датой рождения:</translation>
    </message>
    <message>
        <source>Error creating patient</source>
        <translation>Не удалось создать пациента</translation>
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
