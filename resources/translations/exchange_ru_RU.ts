<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
</TS>
