#include "toolkit/settings/abstractmetadescriptor.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/settingsfile.h"

#include <QDebug>
#include <QJsonParseError>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>

namespace
{

// The element the reader stands at, to its end, as XML text. Blanks between elements go
// (the writer indents anew); the text of an element that holds nothing else stays.
QString copyElement(QXmlStreamReader &reader)
{
    QString text;
    QXmlStreamWriter writer(&text);
    int depth = 0;
    bool afterStart = false;
    QString blanks;
    for (QXmlStreamReader::TokenType token = reader.tokenType(); !reader.hasError();
         token = reader.readNext()) {
        if (token == QXmlStreamReader::Characters && reader.isWhitespace()) {
            blanks = reader.text().toString();
            continue;
        }
        if (token == QXmlStreamReader::EndElement && afterStart)
            writer.writeCharacters(blanks);
        blanks.clear();
        writer.writeCurrentToken(reader);
        afterStart = token == QXmlStreamReader::StartElement;
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement && --depth == 0)
            break;
    }
    return text;
}

// Writes an element kept by copyElement into another document.
void writeElement(QXmlStreamWriter &writer, const QString &element)
{
    QXmlStreamReader reader(element);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token != QXmlStreamReader::StartDocument && token != QXmlStreamReader::EndDocument
            && token != QXmlStreamReader::Invalid)
            writer.writeCurrentToken(reader);
    }
}

StringMap readStringMap(QXmlStreamReader &reader)
{
    StringMap map;
    while (reader.readNextStartElement())
        map.insert(reader.name().toString(), reader.readElementText(QXmlStreamReader::SkipChildElements));
    return map;
}

} // namespace

AbstractMetaDescriptor::AbstractMetaDescriptor(QObject *parent)
    : QObject(parent)
{
}

int AbstractMetaDescriptor::count() const
{
    return descriptions.size();
}

AbstractMetaDescription *AbstractMetaDescriptor::at(int index) const
{
    return descriptions.value(index, nullptr);
}

QList<AbstractMetaDescription *> AbstractMetaDescriptor::getProperties() const
{
    return descriptions;
}

AbstractMetaDescription *AbstractMetaDescriptor::propertyByName(const QString &name) const
{
    return byName.value(name, nullptr);
}

AbstractMetaDescription *AbstractMetaDescriptor::findProperty(const QString &name) const
{
    for (AbstractMetaDescription *description : descriptions)
        if (description->name.compare(name, Qt::CaseInsensitive) == 0)
            return description;
    return nullptr;
}

void AbstractMetaDescriptor::clear()
{
    qDeleteAll(descriptions);
    descriptions.clear();
    byName.clear();
}

void AbstractMetaDescriptor::defaults()
{
    for (AbstractMetaDescription *description : descriptions)
        if (description->editable && description->hasDefault)
            description->setDefault();
}

bool AbstractMetaDescriptor::setValue(const QString &name, const QVariant &value)
{
    AbstractMetaDescription *description = findProperty(name);
    return description && description->setValue(value);
}

bool AbstractMetaDescriptor::setTextValue(const QString &name, const QString &text)
{
    AbstractMetaDescription *description = findProperty(name);
    return description && description->setTextValue(text);
}

bool AbstractMetaDescriptor::save(const QString &path) const
{
    return SettingsFile::write(path, saveAsXmlString().toUtf8());
}

bool AbstractMetaDescriptor::load(const QString &path)
{
    QByteArray bytes;
    return SettingsFile::read(path, &bytes) && loadFromXmlString(QString::fromUtf8(bytes));
}

QString AbstractMetaDescriptor::saveAsXmlString() const
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument(QStringLiteral("1.0"));
    writer.writeStartElement(getClassName());
    for (const AbstractMetaDescription *description : descriptions) {
        if (!description->editable)
            continue;
        if (description->typeName == QLatin1String("StringMap")) {
            writer.writeStartElement(description->name);
            const StringMap map = description->getValue().value<StringMap>();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                writer.writeTextElement(it.key(), it.value());
            writer.writeEndElement();
        } else {
            writer.writeTextElement(description->name, description->fileText());
        }
    }
    for (const QString &element : unknownElements)
        writeElement(writer, element);
    writer.writeEndElement();
    writer.writeEndDocument();
    return text;
}

bool AbstractMetaDescriptor::loadFromXmlString(const QString &text)
{
    QXmlStreamReader reader(text);
    while (!reader.atEnd()) {
        // An XML error ends the walk; what was read before it stays applied.
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        AbstractMetaDescription *match = nullptr;
        for (AbstractMetaDescription *description : descriptions) {
            if (description->editable && reader.name() == description->name) {
                match = description;
                break;
            }
        }
        if (!match)
            continue;
        if (match->typeName == QLatin1String("StringMap")) {
            const StringMap map = readStringMap(reader);
            if (!reader.hasError())
                match->setValue(QVariant::fromValue(map));
            continue;
        }
        const QString value = reader.readElementText(QXmlStreamReader::SkipChildElements);
        if (reader.hasError())
            break;
        match->fromFileText(value);
    }
    keepUnknownElements(text);
    return true;
}

void AbstractMetaDescriptor::keepUnknownElements(const QString &text)
{
    unknownElements.clear();
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++depth != 2)
            continue;
        const QString name = reader.name().toString();
        const bool known = std::any_of(
            descriptions.cbegin(), descriptions.cend(), [&name](const AbstractMetaDescription *description) {
                return description->editable && description->name == name;
            });
        if (known) {
            reader.skipCurrentElement();
        } else {
            const QString element = copyElement(reader);
            if (!reader.hasError())
                unknownElements.append(element);
        }
        --depth;
    }
    loadedWhole = !reader.hasError();
}

QVariantMap AbstractMetaDescriptor::getQVariantMap() const
{
    QVariantMap map;
    for (const AbstractMetaDescription *description : descriptions)
        if (description->editable)
            map.insert(description->name, description->getValue());
    return map;
}

QJsonObject AbstractMetaDescriptor::saveToJson() const
{
    QVariantMap map;
    for (const AbstractMetaDescription *description : descriptions)
        if (description->editable)
            map.insert(description->name, description->jsonValue());
    return QJsonObject::fromVariantMap(map);
}

QString AbstractMetaDescriptor::saveToJsonString(QJsonDocument::JsonFormat format) const
{
    return QString::fromUtf8(saveToJsonByteArray(format));
}

QByteArray AbstractMetaDescriptor::saveToJsonByteArray(QJsonDocument::JsonFormat format) const
{
    return QJsonDocument(saveToJson()).toJson(format);
}

bool AbstractMetaDescriptor::saveToJsonFile(const QString &path) const
{
    return SettingsFile::write(path, saveToJsonByteArray(QJsonDocument::Compact));
}

bool AbstractMetaDescriptor::loadFromJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug().noquote() << "loadFromJson: Failed to create JSON doc.";
        return false;
    }
    return loadFromJson(document);
}

bool AbstractMetaDescriptor::loadFromJson(const QJsonDocument &document)
{
    if (!document.isObject()) {
        qDebug().noquote() << "loadFromJson: JSON is not an object.";
        return false;
    }
    return loadFromJson(document.object());
}

bool AbstractMetaDescriptor::loadFromJson(const QJsonObject &object)
{
    if (object.isEmpty()) {
        qDebug().noquote() << "loadFromJson: JSON object is empty";
        return false;
    }
    return loadFromQVariantMap(object.toVariantMap());
}

bool AbstractMetaDescriptor::loadFromJson(const QString &text)
{
    return loadFromJson(text.toUtf8());
}

bool AbstractMetaDescriptor::loadFromJsonFile(const QString &path)
{
    QByteArray bytes;
    if (!SettingsFile::read(path, &bytes) || bytes.isEmpty())
        return false;
    return loadFromJson(bytes);
}

bool AbstractMetaDescriptor::loadFromQVariantMap(const QVariantMap &map)
{
    for (AbstractMetaDescription *description : descriptions) {
        if (!description->editable)
            continue;
        const auto it = map.constFind(description->name);
        if (it != map.cend())
            description->fromJsonValue(it.value());
    }
    return true;
}
