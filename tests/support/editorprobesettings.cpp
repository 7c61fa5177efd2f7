#include "support/editorprobesettings.h"

EditorProbeSettings::EditorProbeSettings(const QString &filePath, QObject *parent)
    : ZTSettings(filePath, true, parent, XML)
{
    qRegisterMetaType<Mode>();
}

EditorOrphanSettings::EditorOrphanSettings(QObject *parent)
    : ZTSettings(QString(), false, parent, XML)
{
}
