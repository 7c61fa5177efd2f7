<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
        <translation>Кто открывал карточки пациентов</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Когда</translation>
    </message>
    <message>
        <source>Who</source>
        <translation>Кто</translation>
    </message>
    <message>
        <source>Workstation</source>
        <translation>Рабочее место</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Пациент</translation>
    </message>
    <message>
        <source>The notes cannot be read: %1</source>
        <translation>Записи не удалось прочитать: %1</translation>
    </message>
    <message>
        <source>No card has been opened since the setting &quot;%1&quot; was turned on.</source>
        <translation>С тех пор как включён параметр «%1», ни одна карточка не открывалась.</translation>
    </message>
    <message>
        <source>Who opened patient cards...</source>
        <translation>Кто открывал карточки пациентов...</translation>
    </message>
</context>
<context>
    <name>RoleGate</name>
    <message>
        <source>Not allowed</source>
        <translation>Нет прав</translation>
    </message>
</context>
<context>
    <name>ServerRoles</name>
    <message>
        <source>administrator</source>
        <translation>администратор</translation>
    </message>
    <message>
        <source>physician</source>
        <translation>врач</translation>
    </message>
    <message>
        <source>technician</source>
        <translation>лаборант</translation>
    </message>
    <message>
        <source>reception</source>
        <translation>регистратура</translation>
    </message>
    <message>
        <source>no role</source>
        <translation>нет роли</translation>
    </message>
    <message>
        <source>all rights (no roles set up)</source>
        <translation>все права (роли не настроены)</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 или %2</translation>
    </message>
    <message>
        <source>This needs the role %1. You are signed in as %2 (%3).</source>
        <translation>Для этого нужна роль: %1. Вы вошли как %2 (%3).</translation>
    </message>
    <message>
        <source>The account %1 has none of Kesta&apos;s roles on this server. The administrator makes it a member of one (administrator, physician, technician or reception).</source>
        <translation>У учётной записи %1 нет ни одной роли Kesta на этом сервере. Администратор назначает ей одну из них (администратор, врач, лаборант или регистратура).</translation>
    </message>
    <message>
        <source>The server does not allow this to the role %1 (signed in as %2).</source>
        <translation>Сервер не разрешает это роли «%1» (вход: %2).</translation>
    </message>
</context>
<context>
    <name>ServerSetupCommand</name>
    <message>
        <source>No database server is set: set ServerHost in %1</source>
        <translation>Сервер базы данных не задан: укажите ServerHost в %1</translation>
    </message>
    <message>
        <source>The roles were not set up on %1, nothing was changed: %2</source>
        <translation>Роли на %1 не настроены, ничего не изменено: %2</translation>
    </message>
    <message>
        <source>The roles are set up on %1. Start Kesta once as the administrator if its layout is older.</source>
        <translation>Роли на %1 настроены. Если структура базы старая, запустите Kesta один раз под администратором.</translation>
    </message>
</context>
<context>
    <name>ServerStatusLine</name>
    <message>
        <source>Server %1:%2/%3, signed in as %4 (%5)</source>
        <translation>Сервер %1:%2/%3, вход: %4 (%5)</translation>
    </message>
</context>
</TS>
