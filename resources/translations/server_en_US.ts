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
        <source>its tables could not be read</source>
        <translation>its tables could not be read</translation>
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
    <message numerus="yes">
        <source>%n recordings copied into %1, each checked</source>
        <translation>
            <numerusform>%n recording copied into %1, checked</numerusform>
            <numerusform>%n recordings copied into %1, each checked</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied, missing in the old folder or named outside its patient&apos;s folder: %1</source>
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
    <message>
        <source>Copy the patients of %1 onto the server %2, and their recordings into %3? The file and its folder stay as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation type="unfinished"></translation>
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
        <source>The server refused the password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database server</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>The server %1 is still answering another call</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 did not answer within %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 did not confirm the write, and whether it was stored is not known: look again in a moment</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
