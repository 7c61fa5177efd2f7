#pragma once

class QTextStream;

// dbbench --server: the same load against a private PostgreSQL server on
// loopback, beside a bare libpq scan of the same rows, and inserts per second
// from two workstations at once.
int runServerBench(int patients, int recordsEach, int rounds, int inserts, QTextStream &out);
