<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Generic</name>
    <message>
        <source>AutoID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>PatientID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>Last name</translation>
    </message>
    <message>
        <source>FirstName</source>
        <translation>First name</translation>
    </message>
    <message>
        <source>MiddleName</source>
        <translation>Middle name</translation>
    </message>
    <message>
        <source>Sex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOB</source>
        <translation>Date of birth</translation>
    </message>
    <message>
        <source>Height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weight</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hand</source>
        <translation>Handedness</translation>
    </message>
    <message>
        <source>Referral</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diagnosis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Medication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NativeLanguage</source>
        <translation>Native language</translation>
    </message>
    <message>
        <source>Ethnicity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Street</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZIP</source>
        <translation>ZIP code</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FirstVisit</source>
        <translation>First visit</translation>
    </message>
    <message>
        <source>LastVisit</source>
        <translation>Last visit</translation>
    </message>
    <message>
        <source>Subdirectory</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>ArchiveFlag</source>
        <translation>Archived</translation>
    </message>
    <message>
        <source>ArchiveDate</source>
        <translation>Archive date</translation>
    </message>
    <message>
        <source>FullName</source>
        <translation>Full name</translation>
    </message>
    <message>
        <source>Initials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Age</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.PatientMain</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>2.PatientPhysicalInfo</source>
        <translation>Physical and medical data</translation>
    </message>
    <message>
        <source>3.PatientLocalityInfo</source>
        <translation>Address and contacts</translation>
    </message>
    <message>
        <source>cm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RecordID</source>
        <translation>Record ID</translation>
    </message>
    <message>
        <source>RecordDate</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>File</translation>
    </message>
    <message>
        <source>RecordType</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>OperatorID</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>ReviewerID</source>
        <translation>Reviewer</translation>
    </message>
    <message>
        <source>ArchiveID</source>
        <translation>Archive ID</translation>
    </message>
    <message>
        <source>ReviewDate</source>
        <translation>Review date</translation>
    </message>
    <message>
        <source>ReviewFlag</source>
        <translation>Reviewed</translation>
    </message>
    <message>
        <source>ReportFlag</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PatientGender</name>
    <message>
        <source>Gender_Unspecified</source>
        <translation>Not specified</translation>
    </message>
    <message>
        <source>Gender_Male</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>Gender_Female</source>
        <translation>Female</translation>
    </message>
</context>
<context>
    <name>PatientHandness</name>
    <message>
        <source>Hand_Unspecified</source>
        <translation>Not specified</translation>
    </message>
    <message>
        <source>Hand_Left</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Hand_Right</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Hand_Ambidextrous</source>
        <translation>Ambidextrous</translation>
    </message>
</context>
<context>
    <name>SchemaMigrations</name>
    <message>
        <source>The database records no version of its layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The database has layout version %1; this program knows versions up to %2. It was written by a newer version of the program and is left unchanged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This server&apos;s database is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This server&apos;s database has the layout of an older version of Kesta (%1; this one needs %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only the administrator may change it: start Kesta once signed in as a member of %1, then here again. Nothing was changed. (Signed in as %2, %3.)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataLocations</name>
    <message>
        <source>%1 is the root of the file system</source>
        <translation>%1 is the root of the file system</translation>
    </message>
    <message>
        <source>%1 is the home folder itself</source>
        <translation>%1 is the home folder itself</translation>
    </message>
    <message>
        <source>%1 is a folder of the system</source>
        <translation>%1 is a folder of the system</translation>
    </message>
</context>
</TS>
