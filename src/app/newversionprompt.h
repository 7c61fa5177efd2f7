#pragma once

#include <QObject>

class KestaSettings;
struct VersionInfo;

// Offers a newer release when the version checker finds one, while CheckForNewVersion is on:
// one prompt at a time; accepted, the download address opens (web addresses only) and the
// program ends for the upgrade.
class NewVersionPrompt : public QObject
{
    Q_OBJECT
public:
    // Starts the checks as the setting says, and follows it.
    NewVersionPrompt(KestaSettings *settings, QObject *parent);

    void offer(const VersionInfo &info);
};
