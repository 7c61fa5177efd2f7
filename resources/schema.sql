-- The empty patient database the program creates on first start.
--
-- It mirrors the Access file the program was designed around, column for
-- column: Text(N) columns refuse longer texts as Access does, the id columns
-- are the primary keys, and PatientID is indexed without uniqueness (two
-- patients may share one). The program names every column it touches, so the
-- order of columns here does not matter. All columns allow NULL.
--
-- Type mapping: Long Integer -> INTEGER, Single -> REAL, Text(N) -> TEXT with
-- a length check, Memo -> TEXT, Date/Time -> DATETIME holding ISO 8601 text
-- ('yyyy-MM-dd' for dates, 'yyyy-MM-ddTHH:mm:ss' for date-times).

PRAGMA encoding = 'UTF-8';

CREATE TABLE Patients (
    AutoID         INTEGER PRIMARY KEY,
    PatientID      TEXT CHECK (length(PatientID) <= 16),
    LastName       TEXT CHECK (length(LastName) <= 32),
    FirstName      TEXT CHECK (length(FirstName) <= 32),
    MiddleName     TEXT CHECK (length(MiddleName) <= 32),
    Sex            TEXT CHECK (length(Sex) <= 1),
    DOB            DATETIME,
    -- Kept from the original layout; the program never reads or writes it.
    Age            REAL,
    Height         REAL,
    Weight         REAL,
    Hand           TEXT CHECK (length(Hand) <= 1),
    Referral       TEXT CHECK (length(Referral) <= 32),
    Diagnosis      TEXT CHECK (length(Diagnosis) <= 128),
    Medication     TEXT CHECK (length(Medication) <= 128),
    Comments       TEXT,
    NativeLanguage TEXT CHECK (length(NativeLanguage) <= 16),
    Ethnicity      TEXT CHECK (length(Ethnicity) <= 16),
    Street         TEXT CHECK (length(Street) <= 50),
    City           TEXT CHECK (length(City) <= 16),
    State          TEXT CHECK (length(State) <= 16),
    ZIP            TEXT CHECK (length(ZIP) <= 16),
    Phone          TEXT CHECK (length(Phone) <= 32),
    FirstVisit     DATETIME,
    LastVisit      DATETIME,
    Subdirectory   TEXT CHECK (length(Subdirectory) <= 128),
    ArchiveFlag    INTEGER,
    ArchiveDate    DATETIME
);

CREATE INDEX PatientsPatientID ON Patients (PatientID);

CREATE TABLE Records (
    RecordID    INTEGER PRIMARY KEY,
    PatientID   TEXT CHECK (length(PatientID) <= 16),
    RecordDate  DATETIME,
    -- Path of the recording relative to the patient's folder, as the recorder
    -- reports it (with backslashes).
    FileName    TEXT CHECK (length(FileName) <= 128),
    RecordType  TEXT CHECK (length(RecordType) <= 8),
    Comments    TEXT CHECK (length(Comments) <= 64),
    OperatorID  TEXT CHECK (length(OperatorID) <= 16),
    ReviewerID  TEXT CHECK (length(ReviewerID) <= 16),
    ArchiveID   TEXT CHECK (length(ArchiveID) <= 16),
    ReviewDate  DATETIME,
    ArchiveDate DATETIME,
    ReviewFlag  INTEGER,
    ReportFlag  INTEGER,
    ArchiveFlag INTEGER,
    Temperature REAL,
    Conditions  TEXT CHECK (length(Conditions) <= 64)
);

CREATE INDEX RecordsPatientID ON Records (PatientID);
CREATE INDEX RecordsOperatorID ON Records (OperatorID);
CREATE INDEX RecordsReviewerID ON Records (ReviewerID);
CREATE INDEX RecordsArchiveID ON Records (ArchiveID);

-- Part of the original layout; the program does not use them.
CREATE TABLE Institutions (
    InstitutionID INTEGER PRIMARY KEY,
    Name          TEXT CHECK (length(Name) <= 64),
    Department    TEXT CHECK (length(Department) <= 64),
    Unit          TEXT CHECK (length(Unit) <= 64)
);

CREATE TABLE Operators (
    OperatorID    TEXT PRIMARY KEY CHECK (length(OperatorID) <= 16),
    FullName      TEXT CHECK (length(FullName) <= 64),
    InstitutionID INTEGER
);
