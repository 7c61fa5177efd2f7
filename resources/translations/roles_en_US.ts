<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LogPatientViews</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientViewsDialog</name>
    <message>
        <source>Who opened patient cards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Who</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workstation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No card has been opened since the setting &quot;%1&quot; was turned on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Who opened patient cards...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RoleGate</name>
    <message>
        <source>Not allowed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerRoles</name>
    <message>
        <source>administrator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>physician</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>technician</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reception</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no role</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>all rights (no roles set up)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This needs the role %1. You are signed in as %2 (%3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The account %1 has none of Kesta&apos;s roles on this server. The administrator makes it a member of one (administrator, physician, technician or reception).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server does not allow this to the role %1 (signed in as %2).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSetupCommand</name>
    <message>
        <source>No database server is set: set ServerHost in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The roles were not set up on %1, nothing was changed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The roles are set up on %1. Start Kesta once as the administrator if its layout is older.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerStatusLine</name>
    <message>
        <source>Server %1:%2/%3, signed in as %4 (%5)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
