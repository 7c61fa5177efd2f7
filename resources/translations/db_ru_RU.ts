<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message>
        <source>AutoID</source>
        <translation>Номер</translation>
    </message>
    <message>
        <source>PatientID</source>
        <translation>Идентификатор</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>Фамилия</translation>
    </message>
    <message>
        <source>FirstName</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>MiddleName</source>
        <translation>Отчество</translation>
    </message>
    <message>
        <source>Sex</source>
        <translation>Пол</translation>
    </message>
    <message>
        <source>DOB</source>
        <translation>Дата рождения</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Рост</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Вес</translation>
    </message>
    <message>
        <source>Hand</source>
        <translation>Ведущая рука</translation>
    </message>
    <message>
        <source>Referral</source>
        <translation>Направление</translation>
    </message>
    <message>
        <source>Diagnosis</source>
        <translation>Диагноз</translation>
    </message>
    <message>
        <source>Medication</source>
        <translation>Медикаменты</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Комментарии</translation>
    </message>
    <message>
        <source>NativeLanguage</source>
        <translation>Родной язык</translation>
    </message>
    <message>
        <source>Ethnicity</source>
        <translation>Национальность</translation>
    </message>
    <message>
        <source>Street</source>
        <translation>Улица</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Город</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Регион</translation>
    </message>
    <message>
        <source>ZIP</source>
        <translation>Индекс</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>FirstVisit</source>
        <translation>Первый визит</translation>
    </message>
    <message>
        <source>LastVisit</source>
        <translation>Последний визит</translation>
    </message>
    <message>
        <source>Subdirectory</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>ArchiveFlag</source>
        <translation>В архиве</translation>
    </message>
    <message>
        <source>ArchiveDate</source>
        <translation>Дата архивации</translation>
    </message>
    <message>
        <source>FullName</source>
        <translation>ФИО</translation>
    </message>
    <message>
        <source>Initials</source>
        <translation>Фамилия и инициалы</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Возраст</translation>
    </message>
    <message>
        <source>1.PatientMain</source>
        <translation>Основное</translation>
    </message>
    <message>
        <source>2.PatientPhysicalInfo</source>
        <translation>Физические и медицинские данные</translation>
    </message>
    <message>
        <source>3.PatientLocalityInfo</source>
        <translation>Адрес и контакты</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>см</translation>
    </message>
    <message>
        <source>kg</source>
        <translation>кг</translation>
    </message>
    <message>
        <source>RecordID</source>
        <translation>Номер записи</translation>
    </message>
    <message>
        <source>RecordDate</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>RecordType</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>OperatorID</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>ReviewerID</source>
        <translation>Проверил</translation>
    </message>
    <message>
        <source>ArchiveID</source>
        <translation>Номер в архиве</translation>
    </message>
    <message>
        <source>ReviewDate</source>
        <translation>Дата проверки</translation>
    </message>
    <message>
        <source>ReviewFlag</source>
        <translation>Проверено</translation>
    </message>
    <message>
        <source>ReportFlag</source>
        <translation>Заключение</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>Условия</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
</context>
<context>
    <name>PatientGender</name>
    <message>
        <source>Gender_Unspecified</source>
        <translation>Не указан</translation>
    </message>
    <message>
        <source>Gender_Male</source>
        <translation>Мужской</translation>
    </message>
    <message>
        <source>Gender_Female</source>
        <translation>Женский</translation>
    </message>
</context>
<context>
    <name>PatientHandness</name>
    <message>
        <source>Hand_Unspecified</source>
        <translation>Не указана</translation>
    </message>
    <message>
        <source>Hand_Left</source>
        <translation>Левая</translation>
    </message>
    <message>
        <source>Hand_Right</source>
        <translation>Правая</translation>
    </message>
    <message>
        <source>Hand_Ambidextrous</source>
        <translation>Обе (амбидекстр)</translation>
    </message>
</context>
<context>
    <name>SchemaMigrations</name>
    <message>
        <source>The database records no version of its layout</source>
        <translation>В базе данных не указана версия её структуры</translation>
    </message>
    <message>
        <source>The database has layout version %1; this program knows versions up to %2. It was written by a newer version of the program and is left unchanged.</source>
        <translation>Структура базы данных имеет версию %1; эта программа знает версии до %2. База записана более новой версией программы и оставлена без изменений.</translation>
    </message>
    <message>
        <source>This server&apos;s database is empty.</source>
        <translation>База данных на сервере пуста.</translation>
    </message>
    <message>
        <source>This server&apos;s database has the layout of an older version of Kesta (%1; this one needs %2).</source>
        <translation>База данных на сервере имеет структуру более старой версии Kesta (%1; этой нужна %2).</translation>
    </message>
    <message>
        <source>Only the administrator may change it: start Kesta once signed in as a member of %1, then here again. Nothing was changed. (Signed in as %2, %3.)</source>
        <translation>Изменить её может только администратор: запустите Kesta один раз под учётной записью из %1, затем снова здесь. Ничего не изменено. (Вход: %2, %3.)</translation>
    </message>
</context>
<context>
    <name>DataLocations</name>
    <message>
        <source>%1 is the root of the file system</source>
        <translation>%1 — корень файловой системы</translation>
    </message>
    <message>
        <source>%1 is the home folder itself</source>
        <translation>%1 — сама домашняя папка</translation>
    </message>
    <message>
        <source>%1 is a folder of the system</source>
        <translation>%1 — системная папка</translation>
    </message>
</context>
</TS>
