<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutWidget</name>
    <message>
        <source>Authors</source>
        <translation>Авторы</translation>
    </message>
</context>
<context>
    <name>Filesize</name>
    <message>
        <source>B</source>
        <translation>Б</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>КБ</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>МБ</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>ГБ</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>ТБ</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>this app is already running</source>
        <translation>это приложение уже запущено</translation>
    </message>
    <message>
        <source>these apps are already running</source>
        <translation>эти приложения уже запущены</translation>
    </message>
    <message>
        <source>Cannot start because</source>
        <translation>Запуск невозможен, так как</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Show in explorer</source>
        <translation>Показать в папке</translation>
    </message>
    <message>
        <source>Show in file manager</source>
        <translation>Показать в файловом менеджере</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Вопрос</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Сообщение</translation>
    </message>
</context>
</TS>
