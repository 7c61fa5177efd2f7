#pragma once

#include <QObject>
#include <QString>

// Keeps the theme in step with one property of a settings object. A child of
// that object, so the link ends with it. Made by StyleHelper::InterlinkTheme.
class ThemeSettingLink : public QObject
{
    Q_OBJECT
public:
    ThemeSettingLink(QObject *settings, const QString &propertyName);

    QString propertyName() const { return linkedProperty; }
    // Whether the property's current value names the dark theme.
    bool valueIsDark() const;

public slots:
    void apply();

private slots:
    void onPropertyChanged(const QString &name);

private:
    QObject *settings;
    QString linkedProperty;
};
