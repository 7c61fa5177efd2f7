#include "toolkit/settings/ztsettings.h"

#include "toolkit/settings/metadescription.h"
#include "toolkit/settings/metadescriptor.h"
#include "toolkit/settings/propertyindex.h"
#include "toolkit/settings/settingsfile.h"

#include <QDir>
#include <QFileInfo>

ZTSettings::ZTSettings(const QString &filePath, bool autoSave, QObject *parent, ZTSettingsFormat format)
    : AbstractSettings(parent)
{
    loading = false;
    setFilepath(filePath);
    this->autoSave = autoSave;
    this->format = format;
}

ZTSettings::~ZTSettings()
{
    delete descriptor;
}

AbstractMetaDescriptor *ZTSettings::metaDescriptor()
{
    if (!descriptor) {
        descriptor = new MetaDescriptor();
        descriptor->set(this);
    }
    return descriptor;
}

const PropertyIndex &ZTSettings::properties() const
{
    return PropertyIndex::of(metaObject());
}

QVariant ZTSettings::getValue(const QString &name)
{
    const PropertyIndex &index = properties();
    const int position = index.indexOf(name);
    return position < 0 ? QVariant() : index.at(position).read(this);
}

bool ZTSettings::setValue(const QString &name, const QVariant &value)
{
    const PropertyIndex &index = properties();
    const int position = index.find(name);
    return position >= 0 && index.at(position).write(this, value);
}

bool ZTSettings::containsProperty(const QString &name)
{
    return properties().indexOf(name) >= 0;
}

QString ZTSettings::getTextValue(const QString &name)
{
    const PropertyIndex &index = properties();
    const int position = index.indexOf(name);
    return position < 0 ? QString() : index.textOf(position, index.at(position).read(this));
}

bool ZTSettings::setTextValue(const QString &name, const QString &text)
{
    return metaDescriptor()->setTextValue(name, text);
}

MetaDescription *ZTSettings::getPropertyByName(const QString &name)
{
    return qobject_cast<MetaDescription *>(metaDescriptor()->findProperty(name));
}

QStringList ZTSettings::getPropertiesNames()
{
    return properties().names();
}

QString ZTSettings::getClassName()
{
    return QString::fromLatin1(metaObject()->className());
}

bool ZTSettings::getAutoSave() const
{
    return autoSave;
}

void ZTSettings::setAutoSave(bool enabled)
{
    autoSave = enabled;
}

QString ZTSettings::getFilepath() const
{
    return filePath;
}

void ZTSettings::setFilepath(const QString &path)
{
    if (!path.isEmpty()) {
        const QDir folder = QFileInfo(path).absoluteDir();
        if (!folder.exists())
            folder.mkpath(QStringLiteral("."));
    }
    filePath = path;
    emit filePathChanged();
}

bool ZTSettings::reload()
{
    if (filePath.isEmpty())
        return false;
    // Restored rather than cleared: a handler that reloads during a reload
    // must not end the outer one's protection against writes.
    const bool wasLoading = loading;
    loading = true;
    SettingsFile::removeLeftovers(filePath);
    const bool whole = format == JSON
        ? metaDescriptor()->loadFromJsonFile(filePath)
        : metaDescriptor()->load(filePath) && metaDescriptor()->lastLoadWasWhole();
    // The next save writes what was understood, so the rest must be kept elsewhere first.
    if (!whole)
        SettingsFile::keepUnreadable(filePath);
    loading = wasLoading;
    emit reloaded();
    return true;
}

void ZTSettings::save()
{
    // A save asked for while a reload runs (from a change handler) would write
    // a file that is half old values and half new; the reload's end state is
    // what the file already holds.
    if (loading)
        return;
    if (!filePath.isEmpty())
        saveAs(filePath);
    emit saved();
}

bool ZTSettings::saveAs(const QString &path)
{
    if (path.isEmpty() || loading)
        return false;
    if (format == JSON)
        return metaDescriptor()->saveToJsonFile(path);
    return metaDescriptor()->save(path);
}

void ZTSettings::loadDefaults()
{
    metaDescriptor()->defaults();
    emit reloaded();
}

bool ZTSettings::loadFromXMLString(const QString &text)
{
    metaDescriptor()->loadFromXmlString(text);
    emit reloaded();
    return true;
}

QString ZTSettings::saveToString()
{
    return metaDescriptor()->saveAsXmlString();
}

QJsonObject ZTSettings::saveToJson()
{
    return metaDescriptor()->saveToJson();
}

QString ZTSettings::saveToJsonString(QJsonDocument::JsonFormat jsonFormat)
{
    return metaDescriptor()->saveToJsonString(jsonFormat);
}

QString ZTSettings::saveToJsonByteArray()
{
    return QString::fromUtf8(metaDescriptor()->saveToJsonByteArray(QJsonDocument::Compact));
}

bool ZTSettings::loadFromJson(const QByteArray &bytes)
{
    return metaDescriptor()->loadFromJson(bytes);
}

bool ZTSettings::loadFromJson(const QJsonDocument &document)
{
    return metaDescriptor()->loadFromJson(document);
}

bool ZTSettings::loadFromJson(const QJsonObject &object)
{
    return metaDescriptor()->loadFromJson(object);
}

bool ZTSettings::loadFromJson(const QString &text)
{
    return metaDescriptor()->loadFromJson(text);
}

bool ZTSettings::loadFromQVariantMap(const QVariantMap &map)
{
    return metaDescriptor()->loadFromQVariantMap(map);
}

QVariantMap ZTSettings::getQVariantMap()
{
    return metaDescriptor()->getQVariantMap();
}

void ZTSettings::changedProperty(const QString &name)
{
    emit propertyChanged(name);
    if (autoSave && !loading) {
        if (!filePath.isEmpty())
            saveAs(filePath);
        emit saved();
    }
}
