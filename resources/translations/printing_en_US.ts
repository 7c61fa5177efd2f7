<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ConclusionEditor</name>
    <message>
        <source>Save conclusion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Written by %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The conclusion was not saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Conclusions</name>
    <message>
        <source>The recording is not stored</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ListPage</name>
    <message>
        <source>The file cannot be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientPage</name>
    <message>
        <source>Recordings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No recordings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conclusion (%1, %2):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrintCommands</name>
    <message>
        <source>Trace page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paper speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as PDF…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print patient list…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export patient list as PDF…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export patient list as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>patients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
</context>
<context>
    <name>PrintFrame</name>
    <message>
        <source>Printed %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workstation %1, user %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TracePage</name>
    <message>
        <source>Conclusion: none written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 mm/s, %2 µV/mm, %3 to %4 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recorded %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording ends before %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording has no EEG channel to draw.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
