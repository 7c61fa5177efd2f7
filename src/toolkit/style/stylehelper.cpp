#include "toolkit/style/stylehelper.h"

#include "toolkit/style/mediahelper.h"
#include "toolkit/style/themesettinglink.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

namespace
{

const char *const FontFiles[] = {
    ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Regular.ttf",
    ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Italic.ttf",
    ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Bold.ttf",
    ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-BoldItalic.ttf",
};
const char FontFamily[] = "Open Sans SemiCondensed";

const char DarkWidgetStyle[] = "Fusion";
const char LightWidgetStyle[] = "windowsvista";

// Icons are drawn in black; the dark theme turns that black into the asked colour.
const char IconColor[] = "#000";

// Display names of the enumeration, for the translation tools.
const char *const ColorThemeNames[] = {
    QT_TRANSLATE_NOOP("ColorThemeEnum", "Light"),
    QT_TRANSLATE_NOOP("ColorThemeEnum", "System"),
    QT_TRANSLATE_NOOP("ColorThemeEnum", "Dark"),
};

QString readText(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// With an application style sheet the application's style is a wrapper around
// the real one, which it holds as a child.
QString currentWidgetStyle()
{
    QStyle *style = QApplication::style();
    if (!style)
        return QString();
    if (style->objectName().isEmpty()) {
        if (auto *base = style->findChild<QStyle *>(QString(), Qt::FindDirectChildrenOnly))
            return base->objectName();
    }
    return style->objectName();
}

} // namespace

StyleHelper *StyleHelper::Instance()
{
    static StyleHelper *instance = nullptr;
    if (!instance) {
        instance = new StyleHelper;
        instance->setCustomValue(QStringLiteral("--z-font-family"),
            QLatin1Char('\'') + QApplication::font().family() + QLatin1Char('\''));
        instance->setCustomValue(QStringLiteral("--z-font-weight"), QStringLiteral("300"));
        instance->setCustomValue(QStringLiteral("--z-min-btn-size"), QStringLiteral("16px"));
        instance->setCustomValue(
            QStringLiteral("--z-min-height"), QString::number(20.8, 'g', 6) + QStringLiteral("px"));
    }
    return instance;
}

StyleHelper::StyleHelper(QObject *parent)
    : QObject(parent)
{
    Q_UNUSED(ColorThemeNames)
    platformStyle = currentWidgetStyle();
}

bool StyleHelper::registerFontsAndStyles()
{
    bool fontsAdded = true;
    for (const char *file : FontFiles) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(file)) < 0) {
            qDebug().noquote() << "FONT NOT ADDED" << file;
            fontsAdded = false;
        }
    }
    QFont font = QApplication::font();
    font.setFamily(QString::fromLatin1(FontFamily));
    QApplication::setFont(font);

    StyleHelper *helper = Instance();
    // Whoever created the instance before the font was set saw the old family.
    const QString family = QLatin1Char('\'') + font.family() + QLatin1Char('\'');
    if (helper->customValues.value(QStringLiteral("--z-font-family")) != family)
        helper->setCustomValue(QStringLiteral("--z-font-family"), family);

    helper->setCustomValue(QStringLiteral("--z-font-weight"), QStringLiteral("normal"));
    helper->addStyleFile(QStringLiteral(":/themes/zt.theme.css"));
    helper->addStyleFile(QStringLiteral(":/Kesta.css"));
    helper->addThemeFile(QStringLiteral("light"), QStringLiteral(":/themes/light.css"));
    helper->addThemeFile(QStringLiteral("dark"), QStringLiteral(":/themes/dark.css"));
    return fontsAdded;
}

void StyleHelper::addStyleFile(const QString &path)
{
    bool ok = false;
    const QString text = readText(path, &ok);
    if (!ok) {
        qDebug().noquote() << "STYLE FILE NOT ADDED" << path;
        return;
    }
    styles.insert(path, text);
}

void StyleHelper::addThemeFile(const QString &name, const QString &path)
{
    bool ok = false;
    const QString text = readText(path, &ok);
    if (ok)
        themeMaps.insert(name, parseTheme(text));
}

StyleHelper::ValueMap StyleHelper::parseTheme(const QString &text)
{
    QString body = text;
    body.remove(QStringLiteral(":root {"));
    body.remove(QLatin1Char('}'));

    ValueMap values;
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.endsWith(QLatin1Char(';')))
            line.chop(1);
        const QStringList parts = line.split(QStringLiteral(": "));
        if (parts.size() != 2)
            continue;
        values.insert(parts.at(0).trimmed(), parts.at(1).trimmed());
    }
    return values;
}

void StyleHelper::selectTheme(const QString &name)
{
    if (!themeMaps.contains(name)) {
        emit changed();
        return;
    }
    selectedTheme = name;
    darkSelected = name.contains(QLatin1String("dark"), Qt::CaseInsensitive);
    values = themeMaps.value(name);

    // One replacement pass per name: a value that contains its own name would
    // otherwise be substituted for ever.
    auto substitute = [](QString &text, const ValueMap &values) {
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            if (text.contains(it.key()))
                text.replace(it.key(), it.value());
        }
    };
    QString sheet;
    for (auto it = styles.constBegin(); it != styles.constEnd(); ++it) {
        QString text = it.value();
        substitute(text, customValues);
        substitute(text, values);
        sheet += text + QStringLiteral("\r\n");
    }
    // Before the sheet: the sheet gives styled widgets palettes of their own, made from the
    // application's as it is then.
    applyLinkColor();
    qApp->setStyleSheet(sheet);
    applyWidgetStyle();
    emit changed();
}

void StyleHelper::applyLinkColor()
{
    // Style sheets cannot colour the links of rich text; they take the palette's, which the
    // widget style would otherwise leave dark blue on the dark theme's grey.
    const QColor link = getThemeColor(QStringLiteral("--z-link-text"));
    QPalette palette = QApplication::palette();
    if (!link.isValid()
        || (palette.color(QPalette::Link) == link && palette.color(QPalette::LinkVisited) == link))
        return;
    palette.setColor(QPalette::Link, link);
    palette.setColor(QPalette::LinkVisited, link);
    QApplication::setPalette(palette);
}

void StyleHelper::applyWidgetStyle()
{
    QString wanted = QString::fromLatin1(darkSelected ? DarkWidgetStyle : LightWidgetStyle);
    if (!QStyleFactory::keys().contains(wanted, Qt::CaseInsensitive))
        wanted = platformStyle;
    // Setting a style re-polishes every widget; skip it when nothing changes.
    if (wanted.isEmpty() || wanted.compare(currentWidgetStyle(), Qt::CaseInsensitive) == 0)
        return;
    QApplication::setStyle(wanted);
}

void StyleHelper::setCustomValue(const QString &name, const QString &value)
{
    customValues.insert(name, value);
    emit changed();
}

QString StyleHelper::getThemeValue(const QString &name, const QString &defaultValue) const
{
    auto custom = customValues.constFind(name);
    if (custom != customValues.constEnd())
        return custom.value();
    auto value = values.constFind(name);
    if (value != values.constEnd())
        return value.value();
    return defaultValue;
}

QColor StyleHelper::getThemeColor(const QString &name, const QColor &defaultColor) const
{
    auto custom = customValues.constFind(name);
    if (custom != customValues.constEnd())
        return QColor(custom.value());
    auto value = values.constFind(name);
    if (value != values.constEnd())
        return QColor(value.value());
    return defaultColor;
}

QString StyleHelper::ThemeValue(const QString &name, const QString &defaultValue)
{
    return Instance()->getThemeValue(name, defaultValue);
}

QColor StyleHelper::ThemeColor(const QString &name, const QColor &defaultColor)
{
    return Instance()->getThemeColor(name, defaultColor);
}

QStringList StyleHelper::themes() const
{
    return themeMaps.keys();
}

void StyleHelper::InterlinkTheme(QObject *settings, const QString &propertyName)
{
    if (!settings || propertyName.isEmpty())
        return;
    ThemeSettingLink *link = nullptr;
    const auto links = settings->findChildren<ThemeSettingLink *>(QString(), Qt::FindDirectChildrenOnly);
    for (ThemeSettingLink *existing : links) {
        if (existing->propertyName() == propertyName)
            link = existing;
    }
    if (!link)
        link = new ThemeSettingLink(settings, propertyName);
    link->apply();
}

void StyleHelper::setStyledBackground(QWidget *widget, const QString &name, const QColor &defaultColor)
{
    if (!widget)
        return;
    auto apply = [this, widget, name, defaultColor] {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::All, QPalette::Window, getThemeColor(name, defaultColor));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    };
    apply();
    connect(this, &StyleHelper::changed, widget, apply);
}

QIcon StyleHelper::ColoredIcon(const QString &path, const QString &color)
{
    if (Instance()->isDark())
        return MediaHelper::iconColored(path, color, QString::fromLatin1(IconColor));
    return MediaHelper::icon(path);
}

template <typename Target, typename Apply>
void StyleHelper::bindIcon(Target *target, const QIcon &lightIcon, const QIcon &darkIcon, Apply apply)
{
    if (!target)
        return;
    dropIconBinding(target);
    if (darkIcon.isNull()) {
        apply(target, lightIcon);
        return;
    }
    auto follow
        = [this, target, lightIcon, darkIcon, apply] { apply(target, darkSelected ? darkIcon : lightIcon); };
    follow();
    iconBindings.insert(target, connect(this, &StyleHelper::changed, target, follow));
    connect(target, &QObject::destroyed, this, [this](QObject *gone) { iconBindings.remove(gone); });
}

void StyleHelper::dropIconBinding(QObject *target)
{
    auto found = iconBindings.find(target);
    if (found == iconBindings.end())
        return;
    disconnect(found.value());
    iconBindings.erase(found);
    disconnect(target, &QObject::destroyed, this, nullptr);
}

void StyleHelper::setMenuActionIcon(QAction *action, const QIcon &lightIcon, const QIcon &darkIcon)
{
    bindIcon(action, lightIcon, darkIcon, [](QAction *target, const QIcon &icon) { target->setIcon(icon); });
}

void StyleHelper::setMenuActionIcon(QAction *action, const QString &path, const QString &color)
{
    setMenuActionIcon(action, MediaHelper::icon(path),
        MediaHelper::iconColored(path, color, QString::fromLatin1(IconColor)));
}

void StyleHelper::setButtonIcon(QPushButton *button, const QIcon &lightIcon, const QIcon &darkIcon)
{
    bindIcon(
        button, lightIcon, darkIcon, [](QPushButton *target, const QIcon &icon) { target->setIcon(icon); });
}

void StyleHelper::setButtonIcon(QPushButton *button, const QString &path, const QString &color)
{
    setButtonIcon(button, MediaHelper::icon(path),
        MediaHelper::iconColored(path, color, QString::fromLatin1(IconColor)));
}

void StyleHelper::setLabelIcon(QLabel *label, const QIcon &lightIcon, const QIcon &darkIcon)
{
    bindIcon(label, lightIcon, darkIcon,
        [](QLabel *target, const QIcon &icon) { target->setPixmap(icon.pixmap(target->size())); });
}

void StyleHelper::setLabelIcon(QLabel *label, const QString &path, const QString &color)
{
    setLabelIcon(label, MediaHelper::icon(path),
        MediaHelper::iconColored(path, color, QString::fromLatin1(IconColor)));
}

void StyleHelper::SetButtonIcon(QPushButton *button, const QIcon &lightIcon, const QIcon &darkIcon)
{
    Instance()->setButtonIcon(button, lightIcon, darkIcon);
}

void StyleHelper::SetButtonIcon(QPushButton *button, const QString &path, const QString &color)
{
    Instance()->setButtonIcon(button, path, color);
}

void StyleHelper::SetLabelIcon(QLabel *label, const QIcon &lightIcon, const QIcon &darkIcon)
{
    Instance()->setLabelIcon(label, lightIcon, darkIcon);
}

void StyleHelper::SetLabelIcon(QLabel *label, const QString &path, const QString &color)
{
    Instance()->setLabelIcon(label, path, color);
}

void StyleHelper::DimPlaceholder(QLineEdit *edit)
{
    if (!edit)
        return;
    const char *shown = "placeholderShown";
    auto follow = [edit, shown] {
        const QVariant empty = edit->text().isEmpty();
        if (edit->property(shown) == empty)
            return;
        edit->setProperty(shown, empty);
        // Property selectors are matched at polish time only.
        edit->style()->unpolish(edit);
        edit->style()->polish(edit);
    };
    follow();
    connect(edit, &QLineEdit::textChanged, edit, follow);
}
