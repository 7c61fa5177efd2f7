<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ImportCommand</name>
    <message>
        <source>--duplicates takes skip, new or add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not in Kesta&apos;s layout and no mapping is saved for it: map it once in File, Import from another system, or give --mapping FILE.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dry run, nothing written: %1 patients would be imported; %2 rows refused, %3 duplicates, %4 recordings missing.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <source>Import patients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>day, month, year (31.12.1980)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>month, day, year (12/31/1980)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>year, month, day (1980-12-31)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none: the records are imported without their recordings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Old data folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patients table:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records table:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dates written as:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Old data folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source column</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kesta field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What becomes of it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import as a new patient with a new ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add its records to the stored patient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every duplicate:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import from another system…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access databases and CSV files (*.mdb *.accdb *.csv *.txt *.tsv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full name (split)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>binary data: not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Map one column of the patients table to PatientID.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patient %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patient %1 is stored already (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 patients will be imported; %2 rows refused; %3 duplicates; %4 recordings missing in the old folder; %5 recordings there that no record names.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing patients...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report could not be saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report is saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImportMapping</name>
    <message>
        <source>The mapping cannot be saved in %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is no mapping: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 maps no patient table with its ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is longer than %3 characters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImportSource</name>
    <message>
        <source>out of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not an Access database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The tables of %1 cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds no table %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds no header line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No table %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a database: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Importer</name>
    <message>
        <source>row %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The source holds no patient table %1 with its ID mapped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the ID %1 is given twice in the source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the same ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the same name and birth date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no patient with the ID %1 in the source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the patient&apos;s folder name %1 cannot be used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>column %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>binary data (a picture or a document)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imported with a new ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>patient %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>duplicate: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stored already (AutoID %1): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the record is imported without its recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not named by any record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can be registered afterwards as found on disk</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled: nothing was imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The patient %1 is no longer stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, record %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Imported %1 patients, %2 records and %3 recordings; %4 rows refused, %5 duplicates skipped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report cannot be saved in %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file name %1 leads out of the patient&apos;s folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The stored IDs cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the ID %2 has been stored meanwhile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the recording cannot be placed in the folder %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordingCopy</name>
    <message>
        <source>%1 exists already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be copied: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The copy of %1 differs from it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
