<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Generic</name>
    <message><source>cm</source><translation>см</translation></message>
    <message><source>Type a name</source><translation>Введите имя</translation></message>
    <message><source>Printed on every report</source><translation>Печатается в каждом отчёте</translation></message>
</context>
</TS>
