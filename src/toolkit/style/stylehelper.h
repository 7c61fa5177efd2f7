#pragma once

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Process-wide theme manager: style sheets with theme variables, colour themes
// and recoloured icons.
//
// Style files name theme variables ("--z-bg") where values belong; selecting a
// theme substitutes the custom values, then the theme's values, installs the
// combined sheet for the whole application and emits changed() so that icons
// and backgrounds drawn in code follow.
class StyleHelper : public QObject
{
    Q_OBJECT
public:
    using ValueMap = QMap<QString, QString>;

    // The one instance, created on first use with the default custom values.
    // Needs the application object.
    static StyleHelper *Instance();

    // Start-up: registers the four application fonts and makes their family the
    // application font, then sets "--z-font-weight", adds the two style files and
    // the "light" and "dark" themes. The theme itself is chosen later, from the
    // settings. Returns false when a font could not be registered.
    static bool registerFontsAndStyles();

    void addStyleFile(const QString &path);
    void addThemeFile(const QString &name, const QString &path);
    void selectTheme(const QString &name);
    void setCustomValue(const QString &name, const QString &value);

    QString getThemeValue(const QString &name, const QString &defaultValue = QString()) const;
    QColor getThemeColor(const QString &name, const QColor &defaultColor = QColor()) const;
    static QString ThemeValue(const QString &name, const QString &defaultValue = QString());
    static QColor ThemeColor(const QString &name, const QColor &defaultColor = QColor());

    QStringList themes() const;
    QString currentTheme() const { return selectedTheme; }
    bool isDark() const { return darkSelected; }

    // Selects "dark" or "light" from a property of a settings object now and on
    // every change of it: dark when the value is 1 (Dark) or its text contains
    // "dark". Follows the object's propertyChanged(QString) signal when it has one,
    // else the property's notify signal. Does nothing for a null object or an
    // empty name; the link ends with the object.
    static void InterlinkTheme(QObject *settings, const QString &propertyName);

    // Keeps the widget's window background at a theme colour across theme changes.
    void setStyledBackground(QWidget *widget, const QString &name, const QColor &defaultColor);

    // The icon of an SVG resource for the current theme: recoloured from black to
    // color in the dark theme, as drawn otherwise.
    static QIcon ColoredIcon(const QString &path, const QString &color);

    // Icon bindings. With two icons: sets the one for the current theme and follows
    // every theme change while the target lives; with a null dark icon the light one
    // is set once. With a path and colour: the dark icon is the SVG recoloured from
    // black to that colour. Binding a target again replaces its earlier binding.
    void setMenuActionIcon(QAction *action, const QIcon &lightIcon, const QIcon &darkIcon);
    void setMenuActionIcon(QAction *action, const QString &path, const QString &color);
    void setButtonIcon(QPushButton *button, const QIcon &lightIcon, const QIcon &darkIcon);
    void setButtonIcon(QPushButton *button, const QString &path, const QString &color);
    void setLabelIcon(QLabel *label, const QIcon &lightIcon, const QIcon &darkIcon);
    void setLabelIcon(QLabel *label, const QString &path, const QString &color);
    static void SetButtonIcon(QPushButton *button, const QIcon &lightIcon, const QIcon &darkIcon);
    static void SetButtonIcon(QPushButton *button, const QString &path, const QString &color);
    static void SetLabelIcon(QLabel *label, const QIcon &lightIcon, const QIcon &darkIcon);
    static void SetLabelIcon(QLabel *label, const QString &path, const QString &color);

    // A style sheet paints the placeholder in the text colour, so an empty field
    // would look filled in: the theme dims it while the field is empty.
    static void DimPlaceholder(QLineEdit *edit);

signals:
    void changed();

protected:
    // Protected so that tests can work on fresh instances through a subclass.
    explicit StyleHelper(QObject *parent = nullptr);

    // Reads a theme file's text: a ":root {" block of "name: value;" lines.
    static ValueMap parseTheme(const QString &text);

private:
    template <typename Target, typename Apply>
    void bindIcon(Target *target, const QIcon &lightIcon, const QIcon &darkIcon, Apply apply);
    void dropIconBinding(QObject *target);
    void applyWidgetStyle();
    void applyLinkColor();

    bool darkSelected = false;
    ValueMap values;
    QMap<QString, ValueMap> themeMaps;
    QMap<QString, QString> styles;
    ValueMap customValues;
    QString selectedTheme;
    // The style the platform gave the application, kept for the light theme where
    // the "windowsvista" style does not exist.
    QString platformStyle;
    // One theme-following connection per bound icon target; Qt cuts a connection
    // when its target dies, and the entry goes with it.
    QHash<QObject *, QMetaObject::Connection> iconBindings;
};
