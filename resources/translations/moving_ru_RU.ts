<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ImportCommand</name>
    <message>
        <source>--duplicates takes skip, new or add</source>
        <translation>--duplicates принимает skip, new или add</translation>
    </message>
    <message>
        <source>%1 is not in Kesta&apos;s layout and no mapping is saved for it: map it once in File, Import from another system, or give --mapping FILE.</source>
        <translation>%1 не в структуре Kesta, и сохранённого сопоставления для неё нет: сопоставьте столбцы один раз в «Файл, Импорт из другой системы» или укажите --mapping ФАЙЛ.</translation>
    </message>
    <message>
        <source>Report: %1</source>
        <translation>Отчёт: %1</translation>
    </message>
    <message>
        <source>Dry run, nothing written: %1 patients would be imported; %2 rows refused, %3 duplicates, %4 recordings missing.</source>
        <translation>Проверка, ничего не записано: будет импортировано пациентов: %1; отклонено строк: %2, дубликатов: %3, нет записей: %4.</translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <source>Import patients</source>
        <translation>Импорт пациентов</translation>
    </message>
    <message>
        <source>day, month, year (31.12.1980)</source>
        <translation>день, месяц, год (31.12.1980)</translation>
    </message>
    <message>
        <source>month, day, year (12/31/1980)</source>
        <translation>месяц, день, год (12/31/1980)</translation>
    </message>
    <message>
        <source>year, month, day (1980-12-31)</source>
        <translation>год, месяц, день (1980-12-31)</translation>
    </message>
    <message>
        <source>none: the records are imported without their recordings</source>
        <translation>не указана: обследования импортируются без файлов записей</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Выбрать...</translation>
    </message>
    <message>
        <source>Old data folder</source>
        <translation>Прежняя папка данных</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Источник:</translation>
    </message>
    <message>
        <source>Patients table:</source>
        <translation>Таблица пациентов:</translation>
    </message>
    <message>
        <source>Records table:</source>
        <translation>Таблица обследований:</translation>
    </message>
    <message>
        <source>Dates written as:</source>
        <translation>Даты записаны как:</translation>
    </message>
    <message>
        <source>Old data folder:</source>
        <translation>Прежняя папка данных:</translation>
    </message>
    <message>
        <source>Source column</source>
        <translation>Столбец источника</translation>
    </message>
    <message>
        <source>Kesta field</source>
        <translation>Поле Kesta</translation>
    </message>
    <message>
        <source>First value</source>
        <translation>Первое значение</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Строка</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Найдено</translation>
    </message>
    <message>
        <source>What becomes of it</source>
        <translation>Что с ней будет</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Пропустить</translation>
    </message>
    <message>
        <source>Import as a new patient with a new ID</source>
        <translation>Импортировать как нового пациента с новым ID</translation>
    </message>
    <message>
        <source>Add its records to the stored patient</source>
        <translation>Добавить обследования к имеющемуся пациенту</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Проверить</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Импортировать</translation>
    </message>
    <message>
        <source>Every duplicate:</source>
        <translation>Все дубликаты:</translation>
    </message>
    <message>
        <source>Import from another system…</source>
        <translation>Импорт из другой системы…</translation>
    </message>
    <message>
        <source>Access databases and CSV files (*.mdb *.accdb *.csv *.txt *.tsv)</source>
        <translation>Базы Access и файлы CSV (*.mdb *.accdb *.csv *.txt *.tsv)</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>not imported</source>
        <translation>не импортируется</translation>
    </message>
    <message>
        <source>Full name (split)</source>
        <translation>ФИО (разделить)</translation>
    </message>
    <message>
        <source>binary data: not imported</source>
        <translation>двоичные данные: не импортируются</translation>
    </message>
    <message>
        <source>Map one column of the patients table to PatientID.</source>
        <translation>Сопоставьте один столбец таблицы пациентов с PatientID.</translation>
    </message>
    <message>
        <source>Patient %1: %2</source>
        <translation>Пациент %1: %2</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>отклонено</translation>
    </message>
    <message>
        <source>Patient %1 is stored already (%2)</source>
        <translation>Пациент %1 уже есть в базе (%2)</translation>
    </message>
    <message>
        <source>Record: %1</source>
        <translation>Обследование: %1</translation>
    </message>
    <message>
        <source>%1 patients will be imported; %2 rows refused; %3 duplicates; %4 recordings missing in the old folder; %5 recordings there that no record names.</source>
        <translation>Будет импортировано пациентов: %1; отклонено строк: %2; дубликатов: %3; записей нет в прежней папке: %4; записей там без обследования: %5.</translation>
    </message>
    <message>
        <source>Importing patients...</source>
        <translation>Импорт пациентов...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>The report could not be saved: %1</source>
        <translation>Отчёт не удалось сохранить: %1</translation>
    </message>
    <message>
        <source>The report is saved in %1.</source>
        <translation>Отчёт сохранён в %1.</translation>
    </message>
</context>
<context>
    <name>ImportMapping</name>
    <message>
        <source>The mapping cannot be saved in %1: %2</source>
        <translation>Сопоставление не удаётся сохранить в %1: %2</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 не читается: %2</translation>
    </message>
    <message>
        <source>%1 is no mapping: %2</source>
        <translation>%1 не является сопоставлением: %2</translation>
    </message>
    <message>
        <source>%1 maps no patient table with its ID</source>
        <translation>%1 не сопоставляет таблицу пациентов с её ID</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no date</source>
        <translation>%1: «%2» не является датой</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no number</source>
        <translation>%1: «%2» не является числом</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is longer than %3 characters</source>
        <translation>%1: «%2» длиннее %3 символов</translation>
    </message>
</context>
<context>
    <name>ImportSource</name>
    <message>
        <source>out of range</source>
        <translation>вне допустимого диапазона</translation>
    </message>
    <message>
        <source>%1 is not an Access database</source>
        <translation>%1 не является базой Access</translation>
    </message>
    <message>
        <source>The tables of %1 cannot be read</source>
        <translation>Таблицы %1 не читаются</translation>
    </message>
    <message>
        <source>%1 holds no table %2</source>
        <translation>В %1 нет таблицы %2</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Остановлено</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 не читается: %2</translation>
    </message>
    <message>
        <source>%1 holds no header line</source>
        <translation>В %1 нет строки заголовков</translation>
    </message>
    <message>
        <source>No table %1</source>
        <translation>Нет таблицы %1</translation>
    </message>
    <message>
        <source>%1 cannot be read</source>
        <translation>%1 не читается</translation>
    </message>
    <message>
        <source>%1 is not a database: %2</source>
        <translation>%1 не является базой данных: %2</translation>
    </message>
</context>
<context>
    <name>Importer</name>
    <message>
        <source>row %1</source>
        <translation>строка %1</translation>
    </message>
    <message>
        <source>The source holds no patient table %1 with its ID mapped</source>
        <translation>В источнике нет таблицы пациентов %1 с сопоставленным ID</translation>
    </message>
    <message>
        <source>no ID</source>
        <translation>нет ID</translation>
    </message>
    <message>
        <source>the ID %1 is given twice in the source</source>
        <translation>ID %1 встречается в источнике дважды</translation>
    </message>
    <message>
        <source>the same ID</source>
        <translation>тот же ID</translation>
    </message>
    <message>
        <source>the same name and birth date</source>
        <translation>то же имя и дата рождения</translation>
    </message>
    <message>
        <source>no patient with the ID %1 in the source</source>
        <translation>в источнике нет пациента с ID %1</translation>
    </message>
    <message>
        <source>the patient&apos;s folder name %1 cannot be used</source>
        <translation>имя папки пациента %1 использовать нельзя</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>столбец %1</translation>
    </message>
    <message>
        <source>not imported</source>
        <translation>не импортируется</translation>
    </message>
    <message>
        <source>binary data (a picture or a document)</source>
        <translation>двоичные данные (изображение или документ)</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>пропущен</translation>
    </message>
    <message>
        <source>imported with a new ID</source>
        <translation>импортирован с новым ID</translation>
    </message>
    <message>
        <source>records added</source>
        <translation>обследования добавлены</translation>
    </message>
    <message>
        <source>patient %1</source>
        <translation>пациент %1</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>отклонено</translation>
    </message>
    <message>
        <source>duplicate: %1</source>
        <translation>дубликат: %1</translation>
    </message>
    <message>
        <source>stored already (AutoID %1): %2</source>
        <translation>уже в базе (AutoID %1): %2</translation>
    </message>
    <message>
        <source>imported</source>
        <translation>импортирован</translation>
    </message>
    <message>
        <source>record</source>
        <translation>обследование</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>отсутствует</translation>
    </message>
    <message>
        <source>the record is imported without its recording</source>
        <translation>обследование импортируется без файла записи</translation>
    </message>
    <message>
        <source>not named by any record</source>
        <translation>не указан ни в одном обследовании</translation>
    </message>
    <message>
        <source>can be registered afterwards as found on disk</source>
        <translation>можно зарегистрировать позже как найденный на диске</translation>
    </message>
    <message>
        <source>Cancelled: nothing was imported</source>
        <translation>Отменено: ничего не импортировано</translation>
    </message>
    <message>
        <source>The patient %1 is no longer stored</source>
        <translation>Пациента %1 больше нет в базе</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1, record %2: %3</source>
        <translation>%1, обследование %2: %3</translation>
    </message>
    <message>
        <source>Imported %1 patients, %2 records and %3 recordings; %4 rows refused, %5 duplicates skipped.</source>
        <translation>Импортировано пациентов: %1, обследований: %2, записей: %3; отклонено строк: %4, пропущено дубликатов: %5.</translation>
    </message>
    <message>
        <source>The report cannot be saved in %1: %2</source>
        <translation>Отчёт не удаётся сохранить в %1: %2</translation>
    </message>
    <message>
        <source>the file name %1 leads out of the patient&apos;s folder</source>
        <translation>имя файла %1 ведёт за пределы папки пациента</translation>
    </message>
    <message>
        <source>The stored IDs cannot be read: %1</source>
        <translation>Сохранённые ID не читаются: %1</translation>
    </message>
    <message>
        <source>%1: the ID %2 has been stored meanwhile</source>
        <translation>%1: ID %2 тем временем уже сохранён</translation>
    </message>
    <message>
        <source>%1: the recording cannot be placed in the folder %2</source>
        <translation>%1: запись нельзя поместить в папку %2</translation>
    </message>
</context>
<context>
    <name>RecordingCopy</name>
    <message>
        <source>%1 exists already</source>
        <translation>%1 уже существует</translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation>%1 не удаётся создать</translation>
    </message>
    <message>
        <source>%1 cannot be copied: %2</source>
        <translation>%1 не удаётся скопировать: %2</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 не удаётся записать: %2</translation>
    </message>
    <message>
        <source>The copy of %1 differs from it</source>
        <translation>Копия %1 отличается от оригинала</translation>
    </message>
</context>
</TS>
