<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>EdfFacts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>Файла нет.</translation>
    </message>
    <message>
        <source>The file cannot be opened: %1.</source>
        <translation>Файл не открывается: %1.</translation>
    </message>
    <message>
        <source>This is not an EDF or BDF file.</source>
        <translation>Это не файл EDF или BDF.</translation>
    </message>
    <message>
        <source>The file ends inside its header.</source>
        <translation>Файл обрывается внутри заголовка.</translation>
    </message>
    <message>
        <source>The file is incomplete: it holds %1 of the %2 data records its header announces.</source>
        <translation>Файл неполон: в нём %1 из %2 блоков данных, объявленных в заголовке.</translation>
    </message>
    <message>
        <source>The recording was not finished: its header does not say how long it is.</source>
        <translation>Запись не завершена: в заголовке не указана её длина.</translation>
    </message>
    <message>
        <source>The file is longer than its header says.</source>
        <translation>Файл длиннее, чем сказано в его заголовке.</translation>
    </message>
    <message>
        <source>The file header is damaged.</source>
        <translation>Заголовок файла повреждён.</translation>
    </message>
    <message>
        <source>Interrupted (EDF+D) recordings are not supported.</source>
        <translation>Прерывистые записи (EDF+D) не поддерживаются.</translation>
    </message>
</context>
</TS>
