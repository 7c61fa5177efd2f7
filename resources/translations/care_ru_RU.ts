<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>BackupArchive</name>
    <message>
        <source>The backup could not be written.</source>
        <translation>Резервная копия не записана.</translation>
    </message>
    <message>
        <source>%1 is a link: a backup replaces no link, nor what it points to.</source>
        <translation>%1 — ссылка: резервная копия не заменяет ни ссылку, ни то, на что она указывает.</translation>
    </message>
    <message>
        <source>%1 is a folder.</source>
        <translation>%1 — папка.</translation>
    </message>
    <message>
        <source>%1 is a device or another special file, not a file a backup may replace.</source>
        <translation>%1 — устройство или другой особый файл, а не файл, который может заменить резервная копия.</translation>
    </message>
    <message>
        <source>%1 is not a file a backup may replace.</source>
        <translation>%1 — не файл, который может заменить резервная копия.</translation>
    </message>
    <message>
        <source>%1 exists and is no earlier backup of this program: it is left as it is.</source>
        <translation>%1 уже есть и не является прежней резервной копией этой программы: он оставлен как есть.</translation>
    </message>
    <message>
        <source>The backup&apos;s header is larger than any this program writes.</source>
        <translation>Заголовок резервной копии больше любого, который пишет эта программа.</translation>
    </message>
    <message>
        <source>This backup is encrypted.</source>
        <translation>Эта резервная копия зашифрована.</translation>
    </message>
    <message>
        <source>The data folder is missing: %1</source>
        <translation>Нет папки данных: %1</translation>
    </message>
    <message>
        <source>The folder of the backup file does not exist: %1</source>
        <translation>Нет папки для файла резервной копии: %1</translation>
    </message>
    <message>
        <source>A backup cannot be written inside the data folder it backs up.</source>
        <translation>Резервную копию нельзя записать внутрь папки данных, которую она сохраняет.</translation>
    </message>
    <message>
        <source>No temporary folder can be made beside the backup file: %1</source>
        <translation>Рядом с файлом резервной копии не удаётся создать временную папку: %1</translation>
    </message>
    <message>
        <source>There is not enough free space for the backup: it needs about %1 MB, %2 MB are free.</source>
        <translation>Недостаточно места для резервной копии: нужно около %1 МБ, свободно %2 МБ.</translation>
    </message>
    <message>
        <source>The backup was cancelled.</source>
        <translation>Резервное копирование отменено.</translation>
    </message>
    <message>
        <source>The backup read back differs from what was written.</source>
        <translation>Прочитанная резервная копия отличается от записанной.</translation>
    </message>
    <message>
        <source>The backup cannot be put in place: %1</source>
        <translation>Резервную копию не удаётся поместить на место: %1</translation>
    </message>
    <message>
        <source>This file is not a backup of this program.</source>
        <translation>Этот файл не является резервной копией этой программы.</translation>
    </message>
    <message>
        <source>The backup is damaged or incomplete</source>
        <translation>Резервная копия повреждена или неполна</translation>
    </message>
    <message>
        <source>it goes on after its manifest.</source>
        <translation>после описи в ней есть ещё данные.</translation>
    </message>
    <message>
        <source>The backup holds an entry outside its folders: %1</source>
        <translation>В резервной копии есть элемент вне её папок: %1</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>Не удаётся создать папку: %1</translation>
    </message>
    <message>
        <source>The backup holds an entry of a kind it never writes: %1</source>
        <translation>В резервной копии есть элемент такого вида, какой она никогда не пишет: %1</translation>
    </message>
    <message>
        <source>The restore was cancelled.</source>
        <translation>Восстановление отменено.</translation>
    </message>
    <message>
        <source>its manifest is missing.</source>
        <translation>в ней нет описи.</translation>
    </message>
    <message>
        <source>%1 is missing.</source>
        <translation>нет файла %1.</translation>
    </message>
    <message>
        <source>%1 does not match its checksum.</source>
        <translation>файл %1 не совпадает со своей контрольной суммой.</translation>
    </message>
    <message>
        <source>%1 is not in its manifest.</source>
        <translation>файла %1 нет в описи.</translation>
    </message>
    <message>
        <source>This backup was written by a newer version of the program.</source>
        <translation>Эта резервная копия записана более новой версией программы.</translation>
    </message>
    <message>
        <source>The backup&apos;s manifest is incomplete.</source>
        <translation>Опись резервной копии неполна.</translation>
    </message>
    <message>
        <source>%1 changed while it was read</source>
        <translation>%1 изменился во время чтения</translation>
    </message>
    <message>
        <source>%1 went away while it was read</source>
        <translation>%1 исчез во время чтения</translation>
    </message>
</context>
<context>
    <name>BackupCommands</name>
    <message numerus="yes">
        <source>Encrypt the backup to the clinic&apos;s backup key (%n key(s))? Only the holder of its secret part can read or restore it: an encrypted backup may be taken out of the building.</source>
        <translation>
            <numerusform>Зашифровать резервную копию ключом клиники (%n ключ)? Прочитать или восстановить её сможет только владелец секретной части: зашифрованную копию можно вынести из здания.</numerusform>
            <numerusform>Зашифровать резервную копию ключом клиники (%n ключа)? Прочитать или восстановить её сможет только владелец секретной части: зашифрованную копию можно вынести из здания.</numerusform>
            <numerusform>Зашифровать резервную копию ключом клиники (%n ключей)? Прочитать или восстановить её сможет только владелец секретной части: зашифрованную копию можно вынести из здания.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Зашифрованная</translation>
    </message>
    <message>
        <source>Plain</source>
        <translation>Без шифрования</translation>
    </message>
    <message>
        <source>Encrypted to: %1</source>
        <translation>Зашифрована для: %1</translation>
    </message>
    <message>
        <source>Reading and checking the backup…</source>
        <translation>Чтение и проверка резервной копии…</translation>
    </message>
    <message>
        <source>The backup was read and checked whole: every file against its checksum, the database against its row counts.</source>
        <translation>Резервная копия прочитана и проверена целиком: каждый файл по контрольной сумме, база данных по числу строк.</translation>
    </message>
    <message>
        <source>Made on %1 on the workstation %2 by %3</source>
        <translation>Сделана %1 на рабочем месте %2 пользователем %3</translation>
    </message>
    <message>
        <source>encrypted</source>
        <translation>зашифрована</translation>
    </message>
    <message>
        <source>Restore it? The current database and data folder are moved aside, into a folder beside them, and kept.</source>
        <translation>Восстановить её? Текущая база данных и папка данных будут перенесены в папку рядом и сохранены.</translation>
    </message>
    <message>
        <source>Back up</source>
        <translation>Резервная копия</translation>
    </message>
    <message>
        <source>Writing the backup…</source>
        <translation>Запись резервной копии…</translation>
    </message>
    <message>
        <source>The backup was not written</source>
        <translation>Резервная копия не записана</translation>
    </message>
    <message>
        <source>The backup was written and checked</source>
        <translation>Резервная копия записана и проверена</translation>
    </message>
    <message numerus="yes">
        <source>%n patient(s)</source>
        <translation>
            <numerusform>%n пациент</numerusform>
            <numerusform>%n пациента</numerusform>
            <numerusform>%n пациентов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recording(s)</source>
        <translation>
            <numerusform>%n запись</numerusform>
            <numerusform>%n записи</numerusform>
            <numerusform>%n записей</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n файл</numerusform>
            <numerusform>%n файла</numerusform>
            <numerusform>%n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановление</translation>
    </message>
    <message>
        <source>The backup cannot be restored</source>
        <translation>Резервную копию невозможно восстановить</translation>
    </message>
    <message>
        <source>The backup was restored</source>
        <translation>Резервная копия восстановлена</translation>
    </message>
    <message>
        <source>The data from before are kept in</source>
        <translation>Прежние данные сохранены в</translation>
    </message>
    <message>
        <source>Back up...</source>
        <translation>Резервная копия...</translation>
    </message>
    <message>
        <source>Restore...</source>
        <translation>Восстановить...</translation>
    </message>
    <message>
        <source>Kesta backup (*.tar *.tar.gpg)</source>
        <translation>Резервная копия Kesta (*.tar *.tar.gpg)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>BackupEncryption</name>
    <message>
        <source>The key %1 is revoked.</source>
        <translation>Ключ %1 отозван.</translation>
    </message>
    <message>
        <source>The key %1 has expired.</source>
        <translation>Срок действия ключа %1 истёк.</translation>
    </message>
    <message>
        <source>The key %1 is disabled or invalid.</source>
        <translation>Ключ %1 отключён или недействителен.</translation>
    </message>
    <message>
        <source>The key %1 has no part that can encrypt now (expired or revoked).</source>
        <translation>У ключа %1 нет части, которая может шифровать сейчас (срок истёк или она отозвана).</translation>
    </message>
    <message>
        <source>The backup is encrypted to keys whose secret part this user does not have: %1</source>
        <translation>Резервная копия зашифрована для ключей, секретной части которых у этого пользователя нет: %1</translation>
    </message>
    <message>
        <source>Decrypting was cancelled.</source>
        <translation>Расшифровка отменена.</translation>
    </message>
    <message>
        <source>The encrypted backup cannot be decrypted whole: %1</source>
        <translation>Зашифрованную резервную копию нельзя расшифровать целиком: %1</translation>
    </message>
    <message>
        <source>No key is named to encrypt the backup to.</source>
        <translation>Не указан ключ для шифрования резервной копии.</translation>
    </message>
    <message>
        <source>OpenPGP is not available: %1</source>
        <translation>OpenPGP недоступен: %1</translation>
    </message>
    <message>
        <source>%1 is not a key&apos;s full fingerprint.</source>
        <translation>%1 — не полный отпечаток ключа.</translation>
    </message>
    <message>
        <source>The key %1 is not in the keyring.</source>
        <translation>Ключа %1 нет в связке ключей.</translation>
    </message>
    <message>
        <source>The key %1 cannot be read: %2</source>
        <translation>Ключ %1 не читается: %2</translation>
    </message>
    <message>
        <source>The key %1 cannot take the backup: %2</source>
        <translation>Ключом %1 нельзя зашифровать резервную копию: %2</translation>
    </message>
    <message>
        <source>Encrypting failed: %1</source>
        <translation>Шифрование не удалось: %1</translation>
    </message>
    <message>
        <source>The encrypted backup uses an unsupported algorithm: %1</source>
        <translation>Зашифрованная резервная копия использует неподдерживаемый алгоритм: %1</translation>
    </message>
</context>
<context>
    <name>BackupRestore</name>
    <message>
        <source>This backup holds a database of another kind (%1) than this workstation uses.</source>
        <translation>В этой резервной копии база данных другого вида (%1), чем на этом рабочем месте.</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>Не удаётся создать папку: %1</translation>
    </message>
    <message>
        <source>There is not enough free space to restore: it needs about %1 MB, %2 MB are free.</source>
        <translation>Недостаточно места для восстановления: нужно около %1 МБ, свободно %2 МБ.</translation>
    </message>
    <message>
        <source>The database in the backup does not hold the rows its manifest counts.</source>
        <translation>В базе данных резервной копии не столько строк, сколько указано в описи.</translation>
    </message>
    <message>
        <source>This backup was written by a newer version of the program.</source>
        <translation>Эта резервная копия записана более новой версией программы.</translation>
    </message>
</context>
<context>
    <name>ChangeHistory</name>
    <message>
        <source>The history cannot be written</source>
        <translation>Не удаётся записать историю изменений</translation>
    </message>
</context>
<context>
    <name>DatabaseSnapshot</name>
    <message>
        <source>Backing up this kind of database is not supported.</source>
        <translation>Резервное копирование базы данных такого вида не поддерживается.</translation>
    </message>
    <message>
        <source>There is no database file at %1</source>
        <translation>Нет файла базы данных: %1</translation>
    </message>
    <message>
        <source>The database copy is incomplete.</source>
        <translation>Копия базы данных неполна.</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>Не удаётся создать папку: %1</translation>
    </message>
    <message>
        <source>The server&apos;s tool %1 is not installed.</source>
        <translation>Программа сервера %1 не установлена.</translation>
    </message>
    <message>
        <source>ended with code %1</source>
        <translation>завершилась с кодом %1</translation>
    </message>
</context>
<context>
    <name>ExportCommands</name>
    <message>
        <source>Export patient list</source>
        <translation>Экспорт списка пациентов</translation>
    </message>
    <message>
        <source>patients</source>
        <translation>пациенты</translation>
    </message>
    <message>
        <source>Export records</source>
        <translation>Экспорт записей</translation>
    </message>
    <message>
        <source>records</source>
        <translation>записи</translation>
    </message>
    <message>
        <source>The file was not written</source>
        <translation>Файл не записан</translation>
    </message>
    <message>
        <source>Export patient list...</source>
        <translation>Экспорт списка пациентов...</translation>
    </message>
    <message>
        <source>Export records...</source>
        <translation>Экспорт записей...</translation>
    </message>
    <message>
        <source>Written: %1 (rows: %2)</source>
        <translation>Записано: %1 (строк: %2)</translation>
    </message>
    <message>
        <source>CSV, fields apart by semicolons (*.csv)</source>
        <translation>CSV, поля через точку с запятой (*.csv)</translation>
    </message>
    <message>
        <source>CSV, fields apart by commas (*.csv)</source>
        <translation>CSV, поля через запятую (*.csv)</translation>
    </message>
    <message>
        <source>CSV, semicolons, formulas left live (*.csv)</source>
        <translation>CSV, точка с запятой, формулы как есть (*.csv)</translation>
    </message>
    <message>
        <source>CSV, commas, formulas left live (*.csv)</source>
        <translation>CSV, запятая, формулы как есть (*.csv)</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Remove patient</source>
        <translation>Удаление пациента</translation>
    </message>
    <message>
        <source>Remove record</source>
        <translation>Удалить запись</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryCommands</name>
    <message>
        <source>The history cannot be read</source>
        <translation>Не удаётся прочитать историю изменений</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>История изменений...</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>История изменений</translation>
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
        <source>What</source>
        <translation>Что</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Было</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Стало</translation>
    </message>
    <message>
        <source>No changes are recorded for this patient.</source>
        <translation>Изменений этого пациента не записано.</translation>
    </message>
    <message>
        <source>Patient created</source>
        <translation>Пациент создан</translation>
    </message>
    <message>
        <source>Patient removed</source>
        <translation>Пациент удалён</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Пациент</translation>
    </message>
    <message>
        <source>Recording added</source>
        <translation>Запись добавлена</translation>
    </message>
    <message>
        <source>Recording removed</source>
        <translation>Запись удалена</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Moved to the trash</source>
        <translation>Перемещено в корзину</translation>
    </message>
    <message>
        <source>Removed from the trash for good</source>
        <translation>Удалено из корзины навсегда</translation>
    </message>
    <message>
        <source>Restored from the trash</source>
        <translation>Восстановлено из корзины</translation>
    </message>
</context>
<context>
    <name>RemovalCommands</name>
    <message>
        <source>Remove patient</source>
        <translation>Удалить пациента</translation>
    </message>
    <message>
        <source>The records stay: another patient has the same ID</source>
        <translation>Записи останутся: у другого пациента тот же идентификатор</translation>
    </message>
    <message>
        <source>with all records?</source>
        <translation>со всеми записями?</translation>
    </message>
    <message>
        <source>The patient was not removed</source>
        <translation>Пациент не удалён</translation>
    </message>
    <message>
        <source>These recordings lie in the trash</source>
        <translation>Эти записи остались в корзине</translation>
    </message>
    <message>
        <source>Error removing record</source>
        <translation>Ошибка удаления записи</translation>
    </message>
    <message numerus="yes">
        <source>It can be restored from File, Recently removed, for %n days.</source>
        <translation>
            <numerusform>Восстановить можно в меню «Файл», «Недавно удалённые» в течение %n дня.</numerusform>
            <numerusform>Восстановить можно в меню «Файл», «Недавно удалённые» в течение %n дней.</numerusform>
            <numerusform>Восстановить можно в меню «Файл», «Недавно удалённые» в течение %n дней.</numerusform>
        </translation>
    </message>
    <message>
        <source>Recently removed...</source>
        <translation>Недавно удалённые...</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>The other records could not be read</source>
        <translation>Не удалось прочитать остальные записи</translation>
    </message>
    <message>
        <source>The trash folder cannot be made</source>
        <translation>Не удаётся создать папку корзины</translation>
    </message>
    <message>
        <source>The recordings cannot be moved to the trash</source>
        <translation>Записи не удаётся переместить в корзину</translation>
    </message>
    <message>
        <source>The row is no longer there: %1 %2</source>
        <translation>Строки больше нет: %1 %2</translation>
    </message>
    <message>
        <source>It has been restored already</source>
        <translation>Это уже восстановлено</translation>
    </message>
    <message>
        <source>Its number %1 has been given to another patient since.</source>
        <translation>Его номер %1 с тех пор получил другой пациент.</translation>
    </message>
    <message>
        <source>The ID &apos;%1&apos; has been given to another patient since.</source>
        <translation>Идентификатор «%1» с тех пор получил другой пациент.</translation>
    </message>
    <message>
        <source>The patient with the ID &apos;%1&apos; is no longer there: restore the patient first.</source>
        <translation>Пациента с идентификатором «%1» больше нет: сначала восстановите пациента.</translation>
    </message>
    <message>
        <source>Its record number %1 has been taken by another record since.</source>
        <translation>Номер записи %1 с тех пор занят другой записью.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; belongs to another patient since: %2.</source>
        <translation>Папка «%1» с тех пор принадлежит другому пациенту: %2.</translation>
    </message>
    <message>
        <source>The removal&apos;s note of its files cannot be read</source>
        <translation>Не удаётся прочитать сведения об удалённых файлах</translation>
    </message>
    <message>
        <source>Its place is taken since</source>
        <translation>Её место с тех пор занято</translation>
    </message>
    <message>
        <source>The recordings cannot be put back</source>
        <translation>Записи не удаётся вернуть на место</translation>
    </message>
</context>
<context>
    <name>TrashDialog</name>
    <message>
        <source>Recently removed</source>
        <translation>Недавно удалённые</translation>
    </message>
    <message>
        <source>What</source>
        <translation>Что</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Удалено</translation>
    </message>
    <message>
        <source>By</source>
        <translation>Кем</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Remove for good</source>
        <translation>Удалить навсегда</translation>
    </message>
    <message>
        <source>The trash cannot be read</source>
        <translation>Не удаётся прочитать корзину</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Пациент</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be restored</source>
        <translation>«%1» невозможно восстановить</translation>
    </message>
    <message>
        <source>Remove &apos;%1&apos; for good?</source>
        <translation>Удалить «%1» навсегда?</translation>
    </message>
    <message>
        <source>Its rows and its recordings (%1) are deleted and cannot be restored.</source>
        <translation>Данные и записи (%1) будут удалены без возможности восстановления.</translation>
    </message>
</context>
</TS>
