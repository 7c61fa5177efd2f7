<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BackupArchive</name>
    <message>
        <source>The backup could not be written.</source>
        <translation>The backup could not be written.</translation>
    </message>
    <message>
        <source>%1 is a link: a backup replaces no link, nor what it points to.</source>
        <translation>%1 is a link: a backup replaces no link, nor what it points to.</translation>
    </message>
    <message>
        <source>%1 is a folder.</source>
        <translation>%1 is a folder.</translation>
    </message>
    <message>
        <source>%1 is a device or another special file, not a file a backup may replace.</source>
        <translation>%1 is a device or another special file, not a file a backup may replace.</translation>
    </message>
    <message>
        <source>%1 is not a file a backup may replace.</source>
        <translation>%1 is not a file a backup may replace.</translation>
    </message>
    <message>
        <source>%1 exists and is no earlier backup of this program: it is left as it is.</source>
        <translation>%1 exists and is no earlier backup of this program: it is left as it is.</translation>
    </message>
    <message>
        <source>The backup&apos;s header is larger than any this program writes.</source>
        <translation>The backup&apos;s header is larger than any this program writes.</translation>
    </message>
    <message>
        <source>This backup is encrypted.</source>
        <translation>This backup is encrypted.</translation>
    </message>
    <message>
        <source>The data folder is missing: %1</source>
        <translation>The data folder is missing: %1</translation>
    </message>
    <message>
        <source>The folder of the backup file does not exist: %1</source>
        <translation>The folder of the backup file does not exist: %1</translation>
    </message>
    <message>
        <source>A backup cannot be written inside the data folder it backs up.</source>
        <translation>A backup cannot be written inside the data folder it backs up.</translation>
    </message>
    <message>
        <source>No temporary folder can be made beside the backup file: %1</source>
        <translation>No temporary folder can be made beside the backup file: %1</translation>
    </message>
    <message>
        <source>There is not enough free space for the backup: it needs about %1 MB, %2 MB are free.</source>
        <translation>There is not enough free space for the backup: it needs about %1 MB, %2 MB are free.</translation>
    </message>
    <message>
        <source>The backup was cancelled.</source>
        <translation>The backup was cancelled.</translation>
    </message>
    <message>
        <source>The backup read back differs from what was written.</source>
        <translation>The backup read back differs from what was written.</translation>
    </message>
    <message>
        <source>The backup cannot be put in place: %1</source>
        <translation>The backup cannot be put in place: %1</translation>
    </message>
    <message>
        <source>This file is not a backup of this program.</source>
        <translation>This file is not a backup of this program.</translation>
    </message>
    <message>
        <source>The backup is damaged or incomplete</source>
        <translation>The backup is damaged or incomplete</translation>
    </message>
    <message>
        <source>it goes on after its manifest.</source>
        <translation>it goes on after its manifest.</translation>
    </message>
    <message>
        <source>The backup holds an entry outside its folders: %1</source>
        <translation>The backup holds an entry outside its folders: %1</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>A folder cannot be made: %1</translation>
    </message>
    <message>
        <source>The backup holds an entry of a kind it never writes: %1</source>
        <translation>The backup holds an entry of a kind it never writes: %1</translation>
    </message>
    <message>
        <source>The restore was cancelled.</source>
        <translation>The restore was cancelled.</translation>
    </message>
    <message>
        <source>its manifest is missing.</source>
        <translation>its manifest is missing.</translation>
    </message>
    <message>
        <source>%1 is missing.</source>
        <translation>%1 is missing.</translation>
    </message>
    <message>
        <source>%1 does not match its checksum.</source>
        <translation>%1 does not match its checksum.</translation>
    </message>
    <message>
        <source>%1 is not in its manifest.</source>
        <translation>%1 is not in its manifest.</translation>
    </message>
    <message>
        <source>This backup was written by a newer version of the program.</source>
        <translation>This backup was written by a newer version of the program.</translation>
    </message>
    <message>
        <source>The backup&apos;s manifest is incomplete.</source>
        <translation>The backup&apos;s manifest is incomplete.</translation>
    </message>
    <message>
        <source>%1 changed while it was read</source>
        <translation>%1 changed while it was read</translation>
    </message>
    <message>
        <source>%1 went away while it was read</source>
        <translation>%1 went away while it was read</translation>
    </message>
</context>
<context>
    <name>BackupCommands</name>
    <message numerus="yes">
        <source>Encrypt the backup to the clinic&apos;s backup key (%n key(s))? Only the holder of its secret part can read or restore it: an encrypted backup may be taken out of the building.</source>
        <translation>
            <numerusform>Encrypt the backup to the clinic&apos;s backup key (%n key)? Only the holder of its secret part can read or restore it: an encrypted backup may be taken out of the building.</numerusform>
            <numerusform>Encrypt the backup to the clinic&apos;s backup keys (%n keys)? Only the holders of their secret parts can read or restore it: an encrypted backup may be taken out of the building.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Encrypted</translation>
    </message>
    <message>
        <source>Plain</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>Encrypted to: %1</source>
        <translation>Encrypted to: %1</translation>
    </message>
    <message>
        <source>Reading and checking the backup…</source>
        <translation>Reading and checking the backup…</translation>
    </message>
    <message>
        <source>The backup was read and checked whole: every file against its checksum, the database against its row counts.</source>
        <translation>The backup was read and checked whole: every file against its checksum, the database against its row counts.</translation>
    </message>
    <message>
        <source>Made on %1 on the workstation %2 by %3</source>
        <translation>Made on %1 on the workstation %2 by %3</translation>
    </message>
    <message>
        <source>encrypted</source>
        <translation>encrypted</translation>
    </message>
    <message>
        <source>Restore it? The current database and data folder are moved aside, into a folder beside them, and kept.</source>
        <translation>Restore it? The current database and data folder are moved aside, into a folder beside them, and kept.</translation>
    </message>
    <message>
        <source>Back up</source>
        <translation>Back up</translation>
    </message>
    <message>
        <source>Writing the backup…</source>
        <translation>Writing the backup…</translation>
    </message>
    <message>
        <source>The backup was not written</source>
        <translation>The backup was not written</translation>
    </message>
    <message>
        <source>The backup was written and checked</source>
        <translation>The backup was written and checked</translation>
    </message>
    <message numerus="yes">
        <source>%n patient(s)</source>
        <translation>
            <numerusform>%n patient</numerusform>
            <numerusform>%n patients</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recording(s)</source>
        <translation>
            <numerusform>%n recording</numerusform>
            <numerusform>%n recordings</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>The backup cannot be restored</source>
        <translation>The backup cannot be restored</translation>
    </message>
    <message>
        <source>The backup was restored</source>
        <translation>The backup was restored</translation>
    </message>
    <message>
        <source>The data from before are kept in</source>
        <translation>The data from before are kept in</translation>
    </message>
    <message>
        <source>Back up...</source>
        <translation>Back up...</translation>
    </message>
    <message>
        <source>Restore...</source>
        <translation>Restore...</translation>
    </message>
    <message>
        <source>Kesta backup (*.tar *.tar.gpg)</source>
        <translation>Kesta backup (*.tar *.tar.gpg)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>BackupEncryption</name>
    <message>
        <source>The key %1 is revoked.</source>
        <translation>The key %1 is revoked.</translation>
    </message>
    <message>
        <source>The key %1 has expired.</source>
        <translation>The key %1 has expired.</translation>
    </message>
    <message>
        <source>The key %1 is disabled or invalid.</source>
        <translation>The key %1 is disabled or invalid.</translation>
    </message>
    <message>
        <source>The key %1 has no part that can encrypt now (expired or revoked).</source>
        <translation>The key %1 has no part that can encrypt now (expired or revoked).</translation>
    </message>
    <message>
        <source>The backup is encrypted to keys whose secret part this user does not have: %1</source>
        <translation>The backup is encrypted to keys whose secret part this user does not have: %1</translation>
    </message>
    <message>
        <source>Decrypting was cancelled.</source>
        <translation>Decrypting was cancelled.</translation>
    </message>
    <message>
        <source>The encrypted backup cannot be decrypted whole: %1</source>
        <translation>The encrypted backup cannot be decrypted whole: %1</translation>
    </message>
    <message>
        <source>No key is named to encrypt the backup to.</source>
        <translation>No key is named to encrypt the backup to.</translation>
    </message>
    <message>
        <source>OpenPGP is not available: %1</source>
        <translation>OpenPGP is not available: %1</translation>
    </message>
    <message>
        <source>%1 is not a key&apos;s full fingerprint.</source>
        <translation>%1 is not a key&apos;s full fingerprint.</translation>
    </message>
    <message>
        <source>The key %1 is not in the keyring.</source>
        <translation>The key %1 is not in the keyring.</translation>
    </message>
    <message>
        <source>The key %1 cannot be read: %2</source>
        <translation>The key %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>The key %1 cannot take the backup: %2</source>
        <translation>The key %1 cannot take the backup: %2</translation>
    </message>
    <message>
        <source>Encrypting failed: %1</source>
        <translation>Encrypting failed: %1</translation>
    </message>
    <message>
        <source>The encrypted backup uses an unsupported algorithm: %1</source>
        <translation>The encrypted backup uses an unsupported algorithm: %1</translation>
    </message>
</context>
<context>
    <name>BackupRestore</name>
    <message>
        <source>This backup holds a database of another kind (%1) than this workstation uses.</source>
        <translation>This backup holds a database of another kind (%1) than this workstation uses.</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>A folder cannot be made: %1</translation>
    </message>
    <message>
        <source>There is not enough free space to restore: it needs about %1 MB, %2 MB are free.</source>
        <translation>There is not enough free space to restore: it needs about %1 MB, %2 MB are free.</translation>
    </message>
    <message>
        <source>The database in the backup does not hold the rows its manifest counts.</source>
        <translation>The database in the backup does not hold the rows its manifest counts.</translation>
    </message>
    <message>
        <source>This backup was written by a newer version of the program.</source>
        <translation>This backup was written by a newer version of the program.</translation>
    </message>
</context>
<context>
    <name>ChangeHistory</name>
    <message>
        <source>The history cannot be written</source>
        <translation>The history cannot be written</translation>
    </message>
</context>
<context>
    <name>DatabaseSnapshot</name>
    <message>
        <source>Backing up this kind of database is not supported.</source>
        <translation>Backing up this kind of database is not supported.</translation>
    </message>
    <message>
        <source>There is no database file at %1</source>
        <translation>There is no database file at %1</translation>
    </message>
    <message>
        <source>The database copy is incomplete.</source>
        <translation>The database copy is incomplete.</translation>
    </message>
    <message>
        <source>A folder cannot be made: %1</source>
        <translation>A folder cannot be made: %1</translation>
    </message>
    <message>
        <source>The server&apos;s tool %1 is not installed.</source>
        <translation>The server&apos;s tool %1 is not installed.</translation>
    </message>
    <message>
        <source>ended with code %1</source>
        <translation>ended with code %1</translation>
    </message>
</context>
<context>
    <name>ExportCommands</name>
    <message>
        <source>Export patient list</source>
        <translation>Export patient list</translation>
    </message>
    <message>
        <source>patients</source>
        <translation>patients</translation>
    </message>
    <message>
        <source>Export records</source>
        <translation>Export records</translation>
    </message>
    <message>
        <source>records</source>
        <translation>records</translation>
    </message>
    <message>
        <source>The file was not written</source>
        <translation>The file was not written</translation>
    </message>
    <message>
        <source>Export patient list...</source>
        <translation>Export patient list...</translation>
    </message>
    <message>
        <source>Export records...</source>
        <translation>Export records...</translation>
    </message>
    <message>
        <source>Written: %1 (rows: %2)</source>
        <translation>Written: %1 (rows: %2)</translation>
    </message>
    <message>
        <source>CSV, fields apart by semicolons (*.csv)</source>
        <translation>CSV, fields apart by semicolons (*.csv)</translation>
    </message>
    <message>
        <source>CSV, fields apart by commas (*.csv)</source>
        <translation>CSV, fields apart by commas (*.csv)</translation>
    </message>
    <message>
        <source>CSV, semicolons, formulas left live (*.csv)</source>
        <translation>CSV, semicolons, formulas left live (*.csv)</translation>
    </message>
    <message>
        <source>CSV, commas, formulas left live (*.csv)</source>
        <translation>CSV, commas, formulas left live (*.csv)</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Remove patient</source>
        <translation>Remove patient</translation>
    </message>
    <message>
        <source>Remove record</source>
        <translation>Remove record</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
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
        <translation>The history cannot be read</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>History...</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>History</translation>
    </message>
    <message>
        <source>When</source>
        <translation>When</translation>
    </message>
    <message>
        <source>Who</source>
        <translation>Who</translation>
    </message>
    <message>
        <source>What</source>
        <translation>What</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>After</source>
        <translation>After</translation>
    </message>
    <message>
        <source>No changes are recorded for this patient.</source>
        <translation>No changes are recorded for this patient.</translation>
    </message>
    <message>
        <source>Patient created</source>
        <translation>Patient created</translation>
    </message>
    <message>
        <source>Patient removed</source>
        <translation>Patient removed</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Patient</translation>
    </message>
    <message>
        <source>Recording added</source>
        <translation>Recording added</translation>
    </message>
    <message>
        <source>Recording removed</source>
        <translation>Recording removed</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Moved to the trash</source>
        <translation>Moved to the trash</translation>
    </message>
    <message>
        <source>Removed from the trash for good</source>
        <translation>Removed from the trash for good</translation>
    </message>
    <message>
        <source>Restored from the trash</source>
        <translation>Restored from the trash</translation>
    </message>
</context>
<context>
    <name>RemovalCommands</name>
    <message>
        <source>Remove patient</source>
        <translation>Remove patient</translation>
    </message>
    <message>
        <source>The records stay: another patient has the same ID</source>
        <translation>The records stay: another patient has the same ID</translation>
    </message>
    <message>
        <source>with all records?</source>
        <translation>with all records?</translation>
    </message>
    <message>
        <source>The patient was not removed</source>
        <translation>The patient was not removed</translation>
    </message>
    <message>
        <source>These recordings lie in the trash</source>
        <translation>These recordings lie in the trash</translation>
    </message>
    <message>
        <source>Error removing record</source>
        <translation>Error removing record</translation>
    </message>
    <message numerus="yes">
        <source>It can be restored from File, Recently removed, for %n days.</source>
        <translation>
            <numerusform>It can be restored from File, Recently removed, for %n day.</numerusform>
            <numerusform>It can be restored from File, Recently removed, for %n days.</numerusform>
        </translation>
    </message>
    <message>
        <source>Recently removed...</source>
        <translation>Recently removed...</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>The other records could not be read</source>
        <translation>The other records could not be read</translation>
    </message>
    <message>
        <source>The trash folder cannot be made</source>
        <translation>The trash folder cannot be made</translation>
    </message>
    <message>
        <source>The recordings cannot be moved to the trash</source>
        <translation>The recordings cannot be moved to the trash</translation>
    </message>
    <message>
        <source>The row is no longer there: %1 %2</source>
        <translation>The row is no longer there: %1 %2</translation>
    </message>
    <message>
        <source>It has been restored already</source>
        <translation>It has been restored already</translation>
    </message>
    <message>
        <source>Its number %1 has been given to another patient since.</source>
        <translation>Its number %1 has been given to another patient since.</translation>
    </message>
    <message>
        <source>The ID &apos;%1&apos; has been given to another patient since.</source>
        <translation>The ID &apos;%1&apos; has been given to another patient since.</translation>
    </message>
    <message>
        <source>The patient with the ID &apos;%1&apos; is no longer there: restore the patient first.</source>
        <translation>The patient with the ID &apos;%1&apos; is no longer there: restore the patient first.</translation>
    </message>
    <message>
        <source>Its record number %1 has been taken by another record since.</source>
        <translation>Its record number %1 has been taken by another record since.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; belongs to another patient since: %2.</source>
        <translation>The folder &apos;%1&apos; belongs to another patient since: %2.</translation>
    </message>
    <message>
        <source>The removal&apos;s note of its files cannot be read</source>
        <translation>The removal&apos;s note of its files cannot be read</translation>
    </message>
    <message>
        <source>Its place is taken since</source>
        <translation>Its place is taken since</translation>
    </message>
    <message>
        <source>The recordings cannot be put back</source>
        <translation>The recordings cannot be put back</translation>
    </message>
</context>
<context>
    <name>TrashDialog</name>
    <message>
        <source>Recently removed</source>
        <translation>Recently removed</translation>
    </message>
    <message>
        <source>What</source>
        <translation>What</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Removed</translation>
    </message>
    <message>
        <source>By</source>
        <translation>By</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Remove for good</source>
        <translation>Remove for good</translation>
    </message>
    <message>
        <source>The trash cannot be read</source>
        <translation>The trash cannot be read</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Patient</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be restored</source>
        <translation>&apos;%1&apos; cannot be restored</translation>
    </message>
    <message>
        <source>Remove &apos;%1&apos; for good?</source>
        <translation>Remove &apos;%1&apos; for good?</translation>
    </message>
    <message>
        <source>Its rows and its recordings (%1) are deleted and cannot be restored.</source>
        <translation>Its rows and its recordings (%1) are deleted and cannot be restored.</translation>
    </message>
</context>
</TS>
