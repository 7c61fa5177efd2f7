#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QVariantMap>

class AbstractMetaDescription;

// Ordered descriptions of an object's settings, with the XML and JSON forms.
// Only editable descriptions take part in files, value maps and defaults.
// Every file is replaced atomically: a failed write leaves the old file whole.
class AbstractMetaDescriptor : public QObject
{
    Q_OBJECT
public:
    explicit AbstractMetaDescriptor(QObject *parent = nullptr);

    virtual void set(QObject *object) = 0;
    virtual QString getClassName() const = 0;

    int count() const;
    AbstractMetaDescription *at(int index) const;
    QList<AbstractMetaDescription *> getProperties() const;
    // Exact name; null when no description has it.
    AbstractMetaDescription *propertyByName(const QString &name) const;
    // Name compared without regard to case; null when none matches.
    AbstractMetaDescription *findProperty(const QString &name) const;
    void clear();
    // Restores the default of every editable description that has one.
    void defaults();
    // Name matched without regard to case; false when none matches or the write fails.
    bool setValue(const QString &name, const QVariant &value);
    bool setTextValue(const QString &name, const QString &text);

    // XML: root element named by the class, one element per editable setting, then the
    // elements of the text last loaded that no editable setting reads (a newer version's
    // keys), as they were, so that a save never drops them.
    bool save(const QString &path) const;
    bool load(const QString &path);
    QString saveAsXmlString() const;
    // Applies every element before the first XML error; always true.
    bool loadFromXmlString(const QString &text);
    // Whether the text last loaded was XML to its end (an empty text is not).
    bool lastLoadWasWhole() const { return loadedWhole; }

    // JSON: one key per editable setting, enumerations by key, points and sizes as "x;y".
    QVariantMap getQVariantMap() const;
    QJsonObject saveToJson() const;
    QString saveToJsonString(QJsonDocument::JsonFormat format = QJsonDocument::Indented) const;
    QByteArray saveToJsonByteArray(QJsonDocument::JsonFormat format = QJsonDocument::Compact) const;
    bool saveToJsonFile(const QString &path) const;
    // Each refuses, logs and changes nothing when the input is not JSON, not an
    // object, or an empty object.
    bool loadFromJson(const QByteArray &bytes);
    bool loadFromJson(const QJsonDocument &document);
    bool loadFromJson(const QJsonObject &object);
    bool loadFromJson(const QString &text);
    bool loadFromJsonFile(const QString &path);
    bool loadFromQVariantMap(const QVariantMap &map);

protected:
    QList<AbstractMetaDescription *> descriptions;
    QMap<QString, AbstractMetaDescription *> byName;

private:
    void keepUnknownElements(const QString &text);

    // Each a whole element as XML text.
    QStringList unknownElements;
    bool loadedWhole = true;
};
