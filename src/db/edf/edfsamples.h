#pragma once

#include "db/edf/edffacts.h"

#include <QString>
#include <QVector>

// One signal's first samples, in physical units.
struct EdfChannel {
    QString label;
    // As the header spells it: "uV", "mV", "bpm" ...
    QString unit;
    double rate = 0;
    QVector<double> values;
};

// The start of a recording as EdfReader::readSamples reads it: its facts and every signal
// (annotation channels left out), each as long as the file allows up to the time asked for.
struct EdfSamples {
    EdfFacts facts;
    double seconds = 0;
    QVector<EdfChannel> channels;
};
