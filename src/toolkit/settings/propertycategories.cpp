#include "toolkit/settings/propertycategories.h"

#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"

#include <QCoreApplication>
#include <algorithm>

namespace
{

const char OtherCategory[] = QT_TRANSLATE_NOOP("Generic", "Other");

} // namespace

PropertyCategories::PropertyCategories(AbstractMetaDescriptor *descriptor)
{
    build(descriptor);
}

bool PropertyCategories::isOffered(const AbstractMetaDescription *description)
{
    if (!description || !description->editable)
        return false;
    if (description->visible)
        return true;
    const auto *meta = qobject_cast<const MetaDescription *>(description);
    if (!meta || !meta->object || description->visibleBound.isEmpty())
        return false;
    const QByteArray key = description->name.toUtf8() + "NotVisible";
    return meta->object->metaObject()->indexOfClassInfo(key.constData()) < 0;
}

QString PropertyCategories::title(const QString &category)
{
    return QCoreApplication::translate(
        "Generic", category.isEmpty() ? OtherCategory : category.toUtf8().constData());
}

void PropertyCategories::build(AbstractMetaDescriptor *descriptor)
{
    clear();
    if (!descriptor)
        return;
    for (AbstractMetaDescription *description : descriptor->getProperties()) {
        if (!isOffered(description))
            continue;
        // Null and empty both mean "no category".
        const QString category = description->category.isEmpty() ? QString() : description->category;
        byCategory[category].append(description);
        byName.insert(description->name, description);
    }
    for (auto &list : byCategory) {
        std::stable_sort(
            list.begin(), list.end(), [](AbstractMetaDescription *a, AbstractMetaDescription *b) {
                if (a->priority != b->priority)
                    return a->priority < b->priority;
                return a->displayName < b->displayName;
            });
    }
    order = byCategory.keys();
    if (!order.isEmpty() && order.first().isEmpty())
        order.append(order.takeFirst());
}

void PropertyCategories::clear()
{
    order.clear();
    byCategory.clear();
    byName.clear();
}

QStringList PropertyCategories::categoryNames() const
{
    return order;
}

QList<AbstractMetaDescription *> PropertyCategories::properties(const QString &category) const
{
    return byCategory.value(category.isEmpty() ? QString() : category);
}

AbstractMetaDescription *PropertyCategories::property(const QString &name) const
{
    return byName.value(name, nullptr);
}

int PropertyCategories::count() const
{
    return byName.size();
}
