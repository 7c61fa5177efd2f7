<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>OrvalisExchange</name>
    <message>
        <source>Its name leads outside the patient&apos;s folder</source>
        <translation>Его имя ведёт за пределы папки пациента</translation>
    </message>
    <message>
        <source>No patient was selected</source>
        <translation>Пациент не был выбран</translation>
    </message>
    <message>
        <source>No database is open</source>
        <translation>База данных не открыта</translation>
    </message>
</context>
<context>
    <name>RecorderLaunchWarning</name>
    <message>
        <source>Recorder</source>
        <translation>Регистратор</translation>
    </message>
    <message>
        <source>No recorder is installed. It was looked for in these places:</source>
        <translation>Регистратор не установлен. Места, где он искался:</translation>
    </message>
    <message>
        <source>The recorder cannot be started:</source>
        <translation>Не удаётся запустить регистратор:</translation>
    </message>
    <message>
        <source>Places looked in:</source>
        <translation>Места, где он искался:</translation>
    </message>
</context>
<context>
    <name>UnregisteredRecordings</name>
    <message>
        <source>The patient is not in the database</source>
        <translation>Пациента нет в базе данных</translation>
    </message>
</context>
<context>
    <name>UnregisteredRecordingsNotice</name>
    <message>
        <source>These recordings were not registered in the database. Their files stay where they are:</source>
        <translation>Эти записи не зарегистрированы в базе данных. Их файлы остаются на месте:</translation>
    </message>
    <message>
        <source>No patient</source>
        <translation>Без пациента</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>Комментарий:</translation>
    </message>
    <message>
        <source>Recordings not registered</source>
        <translation>Записи не зарегистрированы</translation>
    </message>
    <message>
        <source>Register them now?</source>
        <translation>Зарегистрировать их сейчас?</translation>
    </message>
    <message>
        <source>Try again</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Позже</translation>
    </message>
</context>
</TS>
