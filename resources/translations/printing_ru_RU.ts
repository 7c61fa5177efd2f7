<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ConclusionEditor</name>
    <message>
        <source>Save conclusion</source>
        <translation>Сохранить заключение</translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation>Заключение</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Не сохранено: %1</translation>
    </message>
    <message>
        <source>Written by %1, %2</source>
        <translation>Написал %1, %2</translation>
    </message>
    <message>
        <source>The conclusion was not saved: %1</source>
        <translation>Заключение не сохранено: %1</translation>
    </message>
</context>
<context>
    <name>Conclusions</name>
    <message>
        <source>The recording is not stored</source>
        <translation>Запись не сохранена в базе</translation>
    </message>
</context>
<context>
    <name>ListPage</name>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>Не удаётся записать файл: %1</translation>
    </message>
</context>
<context>
    <name>PatientPage</name>
    <message>
        <source>Recordings</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>No recordings</source>
        <translation>Записей нет</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>отсутствует</translation>
    </message>
    <message>
        <source>Conclusion (%1, %2):</source>
        <translation>Заключение (%1, %2):</translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>Не удаётся записать файл: %1</translation>
    </message>
</context>
<context>
    <name>PrintCommands</name>
    <message>
        <source>Trace page</source>
        <translation>Страница кривых</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Начало</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Paper speed</source>
        <translation>Скорость развёртки</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Печать…</translation>
    </message>
    <message>
        <source>Export as PDF…</source>
        <translation>Экспорт в ПДФ…</translation>
    </message>
    <message>
        <source>Print patient list…</source>
        <translation>Печать списка пациентов…</translation>
    </message>
    <message>
        <source>Export patient list as PDF…</source>
        <translation>Экспорт списка пациентов в ПДФ…</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Записано: %1</translation>
    </message>
    <message>
        <source>Export as PDF</source>
        <translation>Экспорт в ПДФ</translation>
    </message>
    <message>
        <source>Patients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Export patient list as PDF</source>
        <translation>Экспорт списка пациентов в ПДФ</translation>
    </message>
    <message>
        <source>patients</source>
        <translation>пациенты</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Документ PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>PrintFrame</name>
    <message>
        <source>Printed %1</source>
        <translation>Напечатано %1</translation>
    </message>
    <message>
        <source>Workstation %1, user %2</source>
        <translation>Рабочее место %1, пользователь %2</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>страница %1 из %2</translation>
    </message>
</context>
<context>
    <name>TracePage</name>
    <message>
        <source>Conclusion: none written</source>
        <translation>Заключение: не написано</translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation>Заключение</translation>
    </message>
    <message>
        <source>%1 mm/s, %2 µV/mm, %3 to %4 s</source>
        <translation>%1 мм/с, %2 мкВ/мм, с %3 по %4 с</translation>
    </message>
    <message>
        <source>Recorded %1</source>
        <translation>Записано %1</translation>
    </message>
    <message>
        <source>The recording ends before %1 s.</source>
        <translation>Запись заканчивается раньше %1 с.</translation>
    </message>
    <message>
        <source>The recording has no EEG channel to draw.</source>
        <translation>В записи нет каналов ЭЭГ.</translation>
    </message>
    <message>
        <source>The recording cannot be read: %1</source>
        <translation>Запись не читается: %1</translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>Не удаётся записать файл: %1</translation>
    </message>
</context>
</TS>
