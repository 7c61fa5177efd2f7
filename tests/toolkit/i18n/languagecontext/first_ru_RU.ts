<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Probe</name>
    <message><source>First</source><translation>Из первого русского каталога</translation></message>
</context>
</TS>
