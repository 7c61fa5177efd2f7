<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ColorThemeEnum</name>
    <message>
        <source>Light</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Тёмная</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation>Цветовая тема</translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation>Запуск на весь экран</translation>
    </message>
    <message>
        <source>SelectLastPatient</source>
        <translation>Выбор последнего пациента при запуске</translation>
    </message>
    <message>
        <source>PatientCardView</source>
        <translation>Отображение карточки пациента</translation>
    </message>
    <message>
        <source>CheckForNewVersion</source>
        <translation>Проверять наличие новой версии</translation>
    </message>
    <message>
        <source>1.Common</source>
        <translation>Общее</translation>
    </message>
    <message>
        <source>2.Server</source>
        <translation>Сервер</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>DataFolder</source>
        <translation>Папка данных</translation>
    </message>
    <message>
        <source>ServerHost</source>
        <translation>Сервер базы данных</translation>
    </message>
    <message>
        <source>ServerPort</source>
        <translation>Порт сервера</translation>
    </message>
    <message>
        <source>ServerDatabase</source>
        <translation>Имя базы данных</translation>
    </message>
    <message>
        <source>ServerUser</source>
        <translation>Пользователь базы данных</translation>
    </message>
    <message>
        <source>ServerTlsMode</source>
        <translation>Шифрование соединения</translation>
    </message>
    <message>
        <source>BackupRecipients</source>
        <translation>Ключи шифрования резервных копий</translation>
    </message>
    <message>
        <source>ServerTimeoutSeconds</source>
        <translation>Наибольшее ожидание ответа сервера</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>LogPatientViews</source>
        <translation>Записывать, кто открывал карточки пациентов</translation>
    </message>
    <message>
        <source>TrashPurgeDays</source>
        <translation>Хранить удалённое в корзине</translation>
    </message>
    <message>
        <source>days</source>
        <translation>дн.</translation>
    </message>
    <message>
        <source>ClinicName</source>
        <translation>Название клиники</translation>
    </message>
    <message>
        <source>EegViewer</source>
        <translation>Программа просмотра ЭЭГ</translation>
    </message>
</context>
<context>
    <name>KestaLanguage</name>
    <message>
        <source>en_US</source>
        <translation>English</translation>
    </message>
    <message>
        <source>ru_RU</source>
        <translation>Русский</translation>
    </message>
</context>
<context>
    <name>TlsMode</name>
    <message>
        <source>disable</source>
        <translation>Не использовать</translation>
    </message>
    <message>
        <source>require</source>
        <translation>Обязательно</translation>
    </message>
    <message>
        <source>verify_full</source>
        <translation>Обязательно, с проверкой сертификата сервера</translation>
    </message>
</context>
<context>
    <name>ViewPatientCard</name>
    <message>
        <source>PatientCard_Right</source>
        <translation>Справа</translation>
    </message>
    <message>
        <source>PatientCard_Center</source>
        <translation>По центру</translation>
    </message>
    <message>
        <source>PatientCard_None</source>
        <translation>Не отображать</translation>
    </message>
</context>
</TS>
