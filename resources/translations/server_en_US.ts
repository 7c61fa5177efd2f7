<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DatabaseCopy</name>
    <message>
        <source>%1, row %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no database file at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file was written by a newer version of the program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server database already holds rows in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 rows on the server, %3 in the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the column %2 differs on the server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the rows differ on the server</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1: %n rows</source>
        <translation>
            <numerusform>%1: %n row</numerusform>
            <numerusform>%1: %n rows</numerusform>
        </translation>
    </message>
    <message>
        <source>Copied to %1, every column checked:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DatabaseCopyCommand</name>
    <message>
        <source>Copy local database to server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy the patients of %1 onto the server %2? The file stays as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No database server is set: set ServerHost in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Give the password in ~/.pgpass, or type it at a terminal.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SQLite database (*.sqlite)</source>
        <translation>SQLite database (*.sqlite)</translation>
    </message>
</context>
<context>
    <name>EditConflict</name>
    <message>
        <source>Another workstation has removed this entry meanwhile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another workstation has changed it meanwhile to: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerPasswordPrompt</name>
    <message>
        <source>Password of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database server</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
