<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>Probe</name>
    <message><source>First</source><translation>From a catalogue whose code has no underscore</translation></message>
</context>
</TS>
