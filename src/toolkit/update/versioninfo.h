#pragma once

#include <QMetaType>
#include <QString>

// The version service's answer. Registered as "VersionInfo" so that it travels in queued
// signals.
struct VersionInfo {
    // The service reports an update for this caller; nothing else decides it.
    bool valid = false;
    QString version;
    // As the service writes it.
    QString date;
    bool critical = false;
    // The download page.
    QString link;
    QString changelog;
    QString info;
};

Q_DECLARE_METATYPE(VersionInfo)
