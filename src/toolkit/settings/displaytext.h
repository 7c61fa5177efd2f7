#pragma once

#include <QList>

// A text that forms and tables translate but that lupdate cannot find, because it
// stands in class info or is an enumerator key: a column or setting name, a
// category, a suffix. Each settings class keeps its own in one table of these,
// written with QT_TRANSLATE_NOOP so that the catalogues stay complete.
struct DisplayText {
    const char *context;
    const char *source;
};

using DisplayTexts = QList<DisplayText>;
