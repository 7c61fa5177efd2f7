#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class AbstractMetaDescription;
class AbstractMetaDescriptor;

// The index a form is built from: the editable, visible settings of one
// descriptor grouped by category. Categories come in ascending text order with
// the unnamed one (an empty name) last; within a category by priority, then
// by untranslated display name.
class PropertyCategories
{
public:
    PropertyCategories() = default;
    explicit PropertyCategories(AbstractMetaDescriptor *descriptor);

    void build(AbstractMetaDescriptor *descriptor);
    void clear();

    QStringList categoryNames() const;
    QList<AbstractMetaDescription *> properties(const QString &category) const;
    // Exact name; null when the index does not hold it.
    AbstractMetaDescription *property(const QString &name) const;
    int count() const;

    // Whether a description belongs in a form at all. Forms rewrite `visible`
    // while conditions change, so a setting a condition has hidden is still
    // offered by the next form as long as its class does not declare it hidden.
    static bool isOffered(const AbstractMetaDescription *description);
    // A category's title: its name translated in the context "Generic", and
    // "Other" for the unnamed one.
    static QString title(const QString &category);

private:
    QStringList order;
    QMap<QString, QList<AbstractMetaDescription *>> byCategory;
    QMap<QString, AbstractMetaDescription *> byName;
};
