<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>EdfFacts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>The file cannot be opened: %1.</source>
        <translation>The file cannot be opened: %1.</translation>
    </message>
    <message>
        <source>This is not an EDF or BDF file.</source>
        <translation>This is not an EDF or BDF file.</translation>
    </message>
    <message>
        <source>The file ends inside its header.</source>
        <translation>The file ends inside its header.</translation>
    </message>
    <message>
        <source>The file is incomplete: it holds %1 of the %2 data records its header announces.</source>
        <translation>The file is incomplete: it holds %1 of the %2 data records its header announces.</translation>
    </message>
    <message>
        <source>The recording was not finished: its header does not say how long it is.</source>
        <translation>The recording was not finished: its header does not say how long it is.</translation>
    </message>
    <message>
        <source>The file is longer than its header says.</source>
        <translation>The file is longer than its header says.</translation>
    </message>
    <message>
        <source>The file header is damaged.</source>
        <translation>The file header is damaged.</translation>
    </message>
    <message>
        <source>Interrupted (EDF+D) recordings are not supported.</source>
        <translation>Interrupted (EDF+D) recordings are not supported.</translation>
    </message>
</context>
<context>
    <name>EegViewerLauncher</name>
    <message>
        <source>Open in EEG viewer</source>
        <translation>Open in EEG viewer</translation>
    </message>
    <message>
        <source>The recording file is not there:</source>
        <translation>The recording file is not there:</translation>
    </message>
    <message>
        <source>No application is set up to open this recording. Install an EEG viewer that opens EDF files and make it the default for them, or name one in Settings, &quot;%1&quot;.</source>
        <translation>No application is set up to open this recording. Install an EEG viewer that opens EDF files and make it the default for them, or name one in Settings, &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The application set up to open this recording could not be started:</source>
        <translation>The application set up to open this recording could not be started:</translation>
    </message>
    <message>
        <source>The EEG viewer named in the settings could not be started:</source>
        <translation>The EEG viewer named in the settings could not be started:</translation>
    </message>
</context>
<context>
    <name>RecordingFactsText</name>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>up to %1</source>
        <translation>up to %1</translation>
    </message>
    <message>
        <source>The recording cannot be read.</source>
        <translation>The recording cannot be read.</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n signal(s), %1</source>
        <translation>
            <numerusform>%n signal, %1</numerusform>
            <numerusform>%n signals, %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Started: %1</source>
        <translation>Started: %1</translation>
    </message>
    <message>
        <source>born %1</source>
        <translation>born %1</translation>
    </message>
    <message>
        <source>Patient: %1</source>
        <translation>Patient: %1</translation>
    </message>
    <message>
        <source>Equipment: %1</source>
        <translation>Equipment: %1</translation>
    </message>
    <message>
        <source>Technician: %1</source>
        <translation>Technician: %1</translation>
    </message>
    <message>
        <source>Recording: %1</source>
        <translation>Recording: %1</translation>
    </message>
    <message>
        <source>Annotation: %1</source>
        <translation>Annotation: %1</translation>
    </message>
</context>
<context>
    <name>TracePreview</name>
    <message>
        <source>This recording cannot be shown. %1</source>
        <translation>This recording cannot be shown. %1</translation>
    </message>
    <message>
        <source>This recording has no EEG channels to show.</source>
        <translation>This recording has no EEG channels to show.</translation>
    </message>
    <message>
        <source>Select a recording to see its first %1 seconds.</source>
        <translation>Select a recording to see its first %1 seconds.</translation>
    </message>
    <message>
        <source>Reading the recording…</source>
        <translation>Reading the recording…</translation>
    </message>
    <message>
        <source>Recording preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No recording selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 s of %3 channels: %4</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TraceRenderer</name>
    <message>
        <source>%1 µV</source>
        <translation>%1 µV</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2, %n EEG channel(s), %3</source>
        <translation>
            <numerusform>%1 of %2, %n EEG channel, %3</numerusform>
            <numerusform>%1 of %2, %n EEG channels, %3</numerusform>
        </translation>
    </message>
    <message>
        <source>first %1 s</source>
        <translation>first %1 s</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
</context>
</TS>
