#pragma once

#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/ztsetting.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantMap>

class MetaDescription;
class PropertyIndex;

// A settings object bound to a file. Its editable Qt properties are the
// settings; with auto-save on, every change rewrites the whole file at once.
// Declare settings with Q_PROPERTY, Q_CLASSINFO and ZT_SETTING (ztsetting.h).
class ZTSettings : public AbstractSettings
{
    Q_OBJECT
public:
    enum ZTSettingsFormat { XML = 0, JSON = 1 };
    Q_ENUM(ZTSettingsFormat)

    // An empty path means no file: nothing is ever read or written.
    explicit ZTSettings(const QString &filePath = QString(), bool autoSave = true, QObject *parent = nullptr,
        ZTSettingsFormat format = XML);
    ~ZTSettings() override;

    // Built on first use from the meta-object, kept for the object's lifetime.
    // Only forms need it: values are read and written by name through the
    // class's property index, without a descriptor.
    AbstractMetaDescriptor *metaDescriptor() override;
    // Exact name; invalid when no setting has it.
    QVariant getValue(const QString &name) override;
    // Name without regard to case; false when none matches or the value is refused.
    bool setValue(const QString &name, const QVariant &value) override;
    virtual bool containsProperty(const QString &name);
    virtual QString getTextValue(const QString &name);

    bool setTextValue(const QString &name, const QString &text);
    MetaDescription *getPropertyByName(const QString &name);
    QStringList getPropertiesNames();
    QString getClassName();

    bool getAutoSave() const;
    void setAutoSave(bool enabled);
    QString getFilepath() const;
    // Creates the folder of a non-empty path when missing; emits filePathChanged.
    void setFilepath(const QString &path);

    // Reads the file; false only when there is no file path. Emits reloaded. A file that
    // cannot be read to its end is first kept as "<name>.bad" (SettingsFile::keepUnreadable).
    // Elements that no setting reads are written back by every save.
    bool reload();
    // Writes the file (when there is one) and emits saved.
    void save();
    // Writes the whole object to `path` in this object's format; false when
    // nothing was written (empty path, failed write, or a reload running).
    bool saveAs(const QString &path);
    void loadDefaults();

    bool loadFromXMLString(const QString &text);
    QString saveToString();
    QJsonObject saveToJson();
    QString saveToJsonString(QJsonDocument::JsonFormat format = QJsonDocument::Indented);
    QString saveToJsonByteArray();
    bool loadFromJson(const QByteArray &bytes);
    bool loadFromJson(const QJsonDocument &document);
    bool loadFromJson(const QJsonObject &object);
    bool loadFromJson(const QString &text);
    bool loadFromQVariantMap(const QVariantMap &map);
    QVariantMap getQVariantMap();

signals:
    void reloaded();
    void saved();
    void filePathChanged();

protected:
    // The settings of this object's class: every writable property but objectName.
    const PropertyIndex &properties() const;
    // Every setter calls this just before it stores a changed value (the old
    // value is still in place). Override to remember it.
    virtual void changingProperty(const char *name) { Q_UNUSED(name) }
    // Set while an object no one has seen yet is filled: setters only store
    // (ZT_ASSIGN_SETTING), since a hundred thousand rows' signals and
    // announcements that nobody hears cost more than reading them.
    bool fillingQuietly = false;

protected slots:
    // Every setter calls this after a change: emits propertyChanged, then saves
    // when auto-save is on and no reload runs. Override to act on every change.
    virtual void changedProperty(const QString &name);

private:
    bool loading = false;
    bool autoSave = true;
    ZTSettingsFormat format = XML;
    QString filePath;
    AbstractMetaDescriptor *descriptor = nullptr;
};
