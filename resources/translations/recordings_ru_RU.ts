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
<context>
    <name>EegViewerLauncher</name>
    <message>
        <source>Open in EEG viewer</source>
        <translation>Открыть в просмотрщике ЭЭГ</translation>
    </message>
    <message>
        <source>The recording file is not there:</source>
        <translation>Файла записи нет на месте:</translation>
    </message>
    <message>
        <source>No application is set up to open this recording. Install an EEG viewer that opens EDF files and make it the default for them, or name one in Settings, &quot;%1&quot;.</source>
        <translation>Нет программы, которая открывает эту запись. Установите просмотрщик ЭЭГ, открывающий файлы EDF, и назначьте его программой по умолчанию для них или укажите её в настройках: «%1».</translation>
    </message>
    <message>
        <source>The application set up to open this recording could not be started:</source>
        <translation>Программа, назначенная для этой записи, не запустилась:</translation>
    </message>
    <message>
        <source>The EEG viewer named in the settings could not be started:</source>
        <translation>Программа просмотра ЭЭГ, указанная в настройках, не запустилась:</translation>
    </message>
</context>
<context>
    <name>RecordingFactsText</name>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Гц</translation>
    </message>
    <message>
        <source>up to %1</source>
        <translation>до %1</translation>
    </message>
    <message>
        <source>The recording cannot be read.</source>
        <translation>Запись не читается.</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n signal(s), %1</source>
        <translation>
            <numerusform>%n сигнал, %1</numerusform>
            <numerusform>%n сигнала, %1</numerusform>
            <numerusform>%n сигналов, %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Started: %1</source>
        <translation>Начало: %1</translation>
    </message>
    <message>
        <source>born %1</source>
        <translation>род. %1</translation>
    </message>
    <message>
        <source>Patient: %1</source>
        <translation>Пациент: %1</translation>
    </message>
    <message>
        <source>Equipment: %1</source>
        <translation>Оборудование: %1</translation>
    </message>
    <message>
        <source>Technician: %1</source>
        <translation>Техник: %1</translation>
    </message>
    <message>
        <source>Recording: %1</source>
        <translation>Запись: %1</translation>
    </message>
    <message>
        <source>Annotation: %1</source>
        <translation>Аннотация: %1</translation>
    </message>
</context>
<context>
    <name>TracePreview</name>
    <message>
        <source>This recording cannot be shown. %1</source>
        <translation>Эту запись нельзя показать. %1</translation>
    </message>
    <message>
        <source>This recording has no EEG channels to show.</source>
        <translation>В этой записи нет каналов ЭЭГ.</translation>
    </message>
    <message>
        <source>Select a recording to see its first %1 seconds.</source>
        <translation>Выберите запись, чтобы увидеть её первые %1 секунд.</translation>
    </message>
    <message>
        <source>Reading the recording…</source>
        <translation>Запись читается…</translation>
    </message>
    <message>
        <source>Recording preview</source>
        <translation>Просмотр записи</translation>
    </message>
    <message>
        <source>No recording selected</source>
        <translation>Запись не выбрана</translation>
    </message>
    <message>
        <source>Reading %1</source>
        <translation>Чтение %1</translation>
    </message>
    <message>
        <source>%1: %2 s of %3 channels: %4</source>
        <translation>%1: %2 с, каналов %3: %4</translation>
    </message>
</context>
<context>
    <name>TraceRenderer</name>
    <message>
        <source>%1 µV</source>
        <translation>%1 мкВ</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2, %n EEG channel(s), %3</source>
        <translation>
            <numerusform>%1 из %2, %n канал ЭЭГ, %3</numerusform>
            <numerusform>%1 из %2, %n канала ЭЭГ, %3</numerusform>
            <numerusform>%1 из %2, %n каналов ЭЭГ, %3</numerusform>
        </translation>
    </message>
    <message>
        <source>first %1 s</source>
        <translation>первые %1 с</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
</context>
</TS>
