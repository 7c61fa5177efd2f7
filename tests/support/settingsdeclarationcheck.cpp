#include "support/settingsdeclarationcheck.h"

#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"
#include "toolkit/settings/ztsettings.h"

#include <QMetaProperty>
#include <QRegularExpression>
#include <QTranslator>
#include <algorithm>

namespace kestatest
{

QStringList settingsDeclarationProblems(ZTSettings *settings)
{
    static const QStringList knownAttributes
        = { "Editable", "NotVisible", "DisplayName", "Default", "VisibleBound", "VisibleBinded", "Minimum",
              "Maximum", "Step", "Prefix", "Suffix", "Description", "Placeholder", "Precision", "Suggestions",
              "BlankAtMinimum", "SpecialType", "Category", "Priority", "NoDefault", "ReadOnly", "Icon", "MaxLength" };
    QStringList problems;
    const QMetaObject *meta = settings->metaObject();
    const QString className = QString::fromLatin1(meta->className()) + ": ";

    for (int i = meta->classInfoOffset(); i < meta->classInfoCount(); ++i) {
        const QString key = QString::fromUtf8(meta->classInfo(i).name());
        const QString value = QString::fromUtf8(meta->classInfo(i).value());
        const bool known
            = std::any_of(knownAttributes.cbegin(), knownAttributes.cend(), [&](const QString &a) {
                  return key.endsWith(a)
                      && meta->indexOfProperty(key.chopped(a.size()).toLatin1().constData()) >= 0;
              });
        if (!known)
            problems << className + "class info " + key + " names no property or no known attribute";
        else if (key.endsWith("Editable") && value != "true" && value != "false")
            problems << className + key + " is \"" + value + "\", which is not \"true\"";
    }

    for (AbstractMetaDescription *description : settings->metaDescriptor()->getProperties()) {
        const QString name = description->name;
        const QMetaProperty property = meta->property(meta->indexOfProperty(name.toLatin1().constData()));
        if (!property.isResettable())
            problems << className + name + " has no RESET function reset" + name;
        if (!property.hasNotifySignal()
            || QString::fromLatin1(property.notifySignal().name()) != "changed" + name)
            problems << className + name + " has no NOTIFY signal changed" + name;
        if (!description->hasDefault)
            continue;

        const QString declared = description->defaultValue;
        const QString prefix = className + "default " + declared + " of " + name;
        bool ok = false;
        const double value = declared.toDouble(&ok);
        if (ok && description->hasMinimum && value < description->minimum)
            problems << prefix + " is below its Minimum";
        if (ok && description->hasMaximum && value > description->maximum)
            problems << prefix + " is above its Maximum";
        if (property.isResettable()) {
            property.reset(settings);
            if (description->getTextValue() != declared)
                problems << className + name + " declares Default \"" + declared + "\" but its reset gives \""
                        + description->getTextValue() + "\"";
        }
    }
    return problems;
}

QStringList displayTextProblems(ZTSettings *settings, const DisplayTexts &texts, const QString &catalogue)
{
    QStringList problems;
    const auto listed = [&texts](const QByteArray &context, const QByteArray &source) {
        return std::any_of(texts.cbegin(), texts.cend(),
            [&](const DisplayText &text) { return context == text.context && source == text.source; });
    };
    for (const QString &name : settings->getPropertiesNames()) {
        const MetaDescription *description = settings->getPropertyByName(name);
        if (description->visible && !listed("Generic", name.toLatin1()))
            problems << name + " is not among the display texts";
        const QMetaEnum meta = description->enumerator();
        for (int i = 0; description->isEnumType() && i < meta.keyCount(); ++i) {
            if (!listed(meta.name(), meta.key(i)))
                problems << QString::fromLatin1(meta.name()) + "::" + meta.key(i) + " is not among the display texts";
        }
    }

    QTranslator russian;
    QTranslator english;
    if (!russian.load(":/translations/" + catalogue + "_ru_RU.qm")
        || !english.load(":/translations/" + catalogue + "_en_US.qm"))
        return problems << "catalogue " + catalogue + " is missing";
    static const QRegularExpression identifier("^.[^ ]*([A-Z_.]|ID)");
    for (const DisplayText &text : texts) {
        const QString where = QString::fromLatin1(text.context) + ": " + text.source;
        if (russian.translate(text.context, text.source).isEmpty())
            problems << where + " has no Russian translation";
        if (identifier.match(QLatin1String(text.source)).hasMatch()
            && english.translate(text.context, text.source).isEmpty())
            problems << where + " has no English translation";
    }
    return problems;
}

} // namespace kestatest
