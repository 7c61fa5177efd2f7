#pragma once

#include "db/edf/edffacts.h"
#include "db/edf/edfsamples.h"

#include <QString>

// Reads recording files (EDF, EDF+, BDF, BDF+) through EDFlib, which is the judge of whether a
// file is valid; a look of its own at the raw header only names the reason EDFlib gives as a
// bare format error (not EDF at all, truncated, unfinished).
//
// Safe from any thread and meant for worker threads: both calls touch the disk. EDFlib keeps
// its open files in process-wide tables, so every use of it in this process must go through
// here, which holds one lock from opening a file to closing it.
class EdfReader
{
public:
    // Data records searched for the first annotation: a minute of the usual one-second
    // records, so that a long recording is not read through for it.
    static constexpr int AnnotationRecords = 60;

    // The header facts, or the problem that keeps the file from being read. Reads the header,
    // the first data record and the annotations of the first AnnotationRecords records.
    static EdfFacts readFacts(const QString &path);

    // The facts and the first `seconds` of every signal in physical units (fewer samples where
    // the file is shorter); no channels when the file cannot be read.
    static EdfSamples readSamples(const QString &path, double seconds);
};
