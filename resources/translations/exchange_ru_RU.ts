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
    <name>RecordingRegistration</name>
    <message>
        <source>Its comment is longer than the %1 characters the database keeps; this part of it was not stored</source>
        <translation>Его комментарий длиннее %1 символов, которые хранит база данных; эта часть не сохранена</translation>
    </message>
    <message>
        <source>No patient was selected</source>
        <translation>Пациент не был выбран</translation>
    </message>
    <message>
        <source>No database is open</source>
        <translation>База данных не открыта</translation>
    </message>
    <message>
        <source>The comment was not stored: %1</source>
        <translation>Комментарий не сохранён: %1</translation>
    </message>
    <message>
        <source>The patient is not in the database</source>
        <translation>Пациента нет в базе данных</translation>
    </message>
</context>
<context>
    <name>UnregisteredRecordingsNotice</name>
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
    <message>
        <source>Not stored:</source>
        <translation>Не сохранено:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>These recordings, or parts of their comments, were not stored in the database. Their files stay where they are:</source>
        <translation>Эти записи или части их комментариев не сохранены в базе данных. Их файлы остаются на месте:</translation>
    </message>
</context>
</TS>
