<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutBox</name>
    <message>
        <source>Program version</source>
        <translation>Версия программы</translation>
    </message>
    <message>
        <source>Qt version</source>
        <translation>Версия Qt</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Папка данных</translation>
    </message>
    <message>
        <source>Database file</source>
        <translation>Файл базы данных</translation>
    </message>
    <message>
        <source>Settings file</source>
        <translation>Файл настроек</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
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
    <message>
        <source>About app</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Talvena</source>
        <translation>Талвена</translation>
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
        <source>New examination</source>
        <translation>Новое обследование</translation>
    </message>
    <message>
        <source>We recommend to upgrade to version</source>
        <translation>Рекомендуем перейти на версию</translation>
    </message>
    <message>
        <source>Current version</source>
        <translation>Текущая версия</translation>
    </message>
    <message>
        <source>is outdated.</source>
        <translation>устарела.</translation>
    </message>
    <message>
        <source>Would you like to upgrade now?</source>
        <translation>Обновить сейчас?</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>Новая версия</translation>
    </message>
    <message>
        <source>The download address was not opened</source>
        <translation>Адрес для загрузки не открыт</translation>
    </message>
    <message>
        <source>The patient&apos;s folder name cannot be used</source>
        <translation>Имя папки пациента нельзя использовать</translation>
    </message>
    <message>
        <source>The records cannot be read</source>
        <translation>Не удаётся прочитать записи пациента</translation>
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
    <message>
        <source>Edit record</source>
        <translation>Редактирование записи</translation>
    </message>
    <message>
        <source>Starts the recorder for the selected patient (Ctrl+Enter)</source>
        <translation>Запускает регистратор для выбранного пациента (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>No file manager could be started to show</source>
        <translation>Не удалось открыть файловый менеджер, чтобы показать</translation>
    </message>
    <message>
        <source>%1: no such date</source>
        <translation>%1: такой даты нет</translation>
    </message>
</context>
<context>
    <name>PatientEditor</name>
    <message>
        <source>Patient card</source>
        <translation>Карточка пациента</translation>
    </message>
</context>
<context>
    <name>RecordCommands</name>
    <message>
        <source>Recording &amp;preview</source>
        <translation>&amp;Предпросмотр записи</translation>
    </message>
    <message>
        <source>EDF recordings (*.edf)</source>
        <translation>Записи EDF (*.edf)</translation>
    </message>
</context>
</TS>
