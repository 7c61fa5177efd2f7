#include "toolkit/settings/propertyindex.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QMutex>
#include <memory>
#include <unordered_map>

const PropertyIndex &PropertyIndex::of(const QMetaObject *meta)
{
    // Asked once per row of a list read; indexes live as long as the program.
    thread_local const QMetaObject *lastMeta = nullptr;
    thread_local const PropertyIndex *lastIndex = nullptr;
    if (meta == lastMeta)
        return *lastIndex;
    static QMutex mutex;
    static std::unordered_map<const QMetaObject *, std::unique_ptr<const PropertyIndex>> indexes;
    const QMutexLocker lock(&mutex);
    std::unique_ptr<const PropertyIndex> &index = indexes[meta];
    if (!index)
        index.reset(new PropertyIndex(meta));
    lastMeta = meta;
    lastIndex = index.get();
    return *index;
}

PropertyIndex::PropertyIndex(const QMetaObject *meta)
{
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QString name = QString::fromLatin1(property.name());
        if (name.compare(QLatin1String("objectName"), Qt::CaseInsensitive) == 0 || !property.isWritable())
            continue;
        byName.insert(name, properties.size());
        const QString folded = name.toCaseFolded();
        if (!byFoldedName.contains(folded))
            byFoldedName.insert(folded, properties.size());
        properties.append(property);
        Writer writer;
        writer.index = property.propertyIndex();
        writer.type = property.userType();
        writer.enumeration = property.isEnumType();
        writer.direct = !writer.enumeration && writer.type != QMetaType::QVariant
            && writer.type != QMetaType::UnknownType;
        const QMetaObject *owner = meta;
        while (owner->superClass() && owner->propertyOffset() > writer.index)
            owner = owner->superClass();
        writer.call = owner->d.static_metacall;
        writer.local = writer.index - owner->propertyOffset();
        writers.append(writer);
        propertyNames.append(name);
        typeNames.append(QString::fromLatin1(property.typeName()));
    }
}

bool PropertyIndex::write(QObject *object, int position, QVariant &value) const
{
    const Writer &writer = writers.at(position);
    if (!writer.direct)
        return properties.at(position).write(object, value);
    if (value.userType() != writer.type) {
        // As QMetaProperty::write has it: nothing means the default.
        if (!value.isValid()) {
            const QMetaProperty &property = properties.at(position);
            if (property.isResettable())
                return property.reset(object);
            value = QVariant(writer.type, nullptr);
        } else if (!value.convert(writer.type)) {
            return false;
        }
    }
    dispatch(object, writer, value.data(), &value);
    return true;
}

bool PropertyIndex::writeAs(QObject *object, int position, int type, void *value) const
{
    const Writer &writer = writers.at(position);
    if (!writer.direct || writer.type != type)
        return false;
    dispatch(object, writer, value, nullptr);
    return true;
}

void PropertyIndex::dispatch(QObject *object, const Writer &writer, void *value, QVariant *variant)
{
    int status = -1;
    int flags = 0;
    void *arguments[] = { value, variant, &status, &flags };
    if (writer.call)
        writer.call(object, QMetaObject::WriteProperty, writer.local, arguments);
    else
        QMetaObject::metacall(object, QMetaObject::WriteProperty, writer.index, arguments);
}

int PropertyIndex::find(const QString &name) const
{
    return byFoldedName.value(name.toCaseFolded(), -1);
}

QString PropertyIndex::textOf(int position, const QVariant &value) const
{
    const QMetaProperty &property = properties.at(position);
    return AbstractMetaDescription::textForm(
        value, typeNames.at(position), property.isEnumType() ? property.enumerator() : QMetaEnum());
}
