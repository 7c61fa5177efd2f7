<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>%1 (process id %2)</source>
        <translation>%1 (идентификатор процесса %2)</translation>
    </message>
    <message>
        <source>a program of user %1</source>
        <translation>программа пользователя %1</translation>
    </message>
</context>
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
    <message>
        <source>The recorder is not started: it could not talk to this program, since port %1 is taken by another program. The port is tried again every %2 seconds.</source>
        <translation>Регистратор не запущен: он не смог бы связаться с этой программой, так как порт %1 занят другой программой. Попытка занять порт повторяется каждые %2 с.</translation>
    </message>
    <message>
        <source>Held by:</source>
        <translation>Его занимает:</translation>
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
