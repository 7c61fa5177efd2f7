#include "db/rows/rowevents.h"

RowEvents *RowEvents::instance()
{
    // Never destroyed: rows may end after everything else.
    static RowEvents *const events = new RowEvents;
    return events;
}
