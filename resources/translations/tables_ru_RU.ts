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
    <message>
        <source>Duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Каналы</translation>
    </message>
</context>
<context>
    <name>PatientsListWidget</name>
    <message>
        <source>Search patients</source>
        <translation>Поиск пациентов</translation>
    </message>
    <message>
        <source>Names, ID or birth date; Ctrl+F</source>
        <translation>Фамилия, имя, идентификатор или дата рождения; Ctrl+F</translation>
    </message>
    <message>
        <source>Patients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Мужской</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Женский</translation>
    </message>
    <message>
        <source>Sex not given</source>
        <translation>Пол не указан</translation>
    </message>
    <message>
        <source>No patients yet. Add the first one with File, New patient (Ctrl+N).</source>
        <translation>Пациентов пока нет. Первого добавьте через Файл, Новый пациент (Ctrl+N).</translation>
    </message>
    <message>
        <source>No patient matches the search. Escape clears it.</source>
        <translation>Ни один пациент не подходит под поиск. Escape очищает его.</translation>
    </message>
</context>
<context>
    <name>RecordsTable</name>
    <message>
        <source>Open in EEG viewer</source>
        <translation>Открыть в просмотрщике ЭЭГ</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Зарегистрировать</translation>
    </message>
    <message>
        <source>Register all</source>
        <translation>Зарегистрировать все</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Не зарегистрирована</translation>
    </message>
    <message>
        <source>Not registered: no record of the database lists this file</source>
        <translation>Не зарегистрирована: ни одна запись базы данных не указывает на этот файл</translation>
    </message>
    <message>
        <source>The recording file is missing</source>
        <translation>Файл записи отсутствует</translation>
    </message>
    <message>
        <source>Recordings of the patient</source>
        <translation>Записи пациента</translation>
    </message>
    <message>
        <source>File missing</source>
        <translation>Файл отсутствует</translation>
    </message>
    <message>
        <source>File unreadable</source>
        <translation>Файл не читается</translation>
    </message>
    <message>
        <source>File present</source>
        <translation>Файл на месте</translation>
    </message>
    <message>
        <source>Trace page…</source>
        <translation>Страница кривых…</translation>
    </message>
    <message>
        <source>Conclusion (%1, %2):</source>
        <translation>Заключение (%1, %2):</translation>
    </message>
</context>
</TS>
