#pragma once

// One line per setting instead of a hand-written getter, setter, reset and
// signal. The Q_PROPERTY and its class-info lines stay the declaration:
//
//     class ViewerSettings : public ZTSettings
//     {
//         Q_OBJECT
//         Q_PROPERTY(int Zoom READ getZoom WRITE setZoom RESET resetZoom NOTIFY changedZoom)
//         Q_CLASSINFO("ZoomEditable", "true")
//         Q_CLASSINFO("ZoomDefault", "100")
//         Q_CLASSINFO("ZoomMinimum", "10")
//         ZT_SETTING(int, Zoom, 100)
//     public:
//         ...
//     };
//
// ZT_SETTING(Type, Name, default...) makes, all public:
//   Type getName() const
//   void setName(const Type &value)  nothing when equal; else stores the value,
//                                    emits changedName(value), calls changedProperty("Name")
//   void resetName()                 hands the default to setName
//   signal changedName(const Type &value)
// and the private member m_Name, initialised as Type(default...), so
// "ZT_SETTING(QPoint, Origin, 3, 4)" works. The default is not stored per
// object: reset builds it afresh.
// The macro ends in a public section. The class must derive from ZTSettings
// (or provide changingProperty(const char *) and changedProperty(QString)).
// Use a typedef for types with commas.
//
// To add work to the setter, declare with ZT_SETTING_CUSTOM_SETTER and write
// the setter in the .cpp around ZT_ASSIGN_SETTING, which performs the standard
// compare-store-emit-report and yields true when the value changed:
//
//     void Patient::setName(const QString &value)
//     {
//         if (ZT_ASSIGN_SETTING(Name, value))
//             updateFolderName();
//     }
//
// While the object's fillingQuietly is set (an object filled before anyone sees
// it), a setter only stores: no signal, no changingProperty or changedProperty.
//
// A subclass that must act on every change (a database row writing its column)
// overrides ZTSettings::changedProperty or listens to propertyChanged; one that
// must know the old value overrides ZTSettings::changingProperty, which runs
// just before the store.

// A text setting that most objects leave empty can live in the class's
// SparseTexts (sparsetexts.h) instead of a member of its own:
//
//     ZT_SPARSE_TEXT_SETTING(Street, 5)
//
// makes the same getter, setter, reset and signal as ZT_SETTING(QString, Street),
// with the value in slot 5 of the member `sparseTexts` that the class declares.

// clang-format off
#define ZT_SETTING_COMMON_(Type, Name, ...)                                     \
public:                                                                         \
    Q_INVOKABLE Type get##Name() const { return m_##Name; }                     \
    Q_INVOKABLE void reset##Name() { set##Name(Type(__VA_ARGS__)); }            \
    Q_SIGNAL void changed##Name(const Type &value);                             \
                                                                                \
private:                                                                        \
    Type m_##Name = Type(__VA_ARGS__);                                          \
                                                                                \
public:

#define ZT_SETTING(Type, Name, ...)                                             \
    ZT_SETTING_COMMON_(Type, Name, __VA_ARGS__)                                 \
    Q_INVOKABLE void set##Name(const Type &value) { ZT_ASSIGN_SETTING(Name, value); }

#define ZT_SETTING_CUSTOM_SETTER(Type, Name, ...)                               \
    ZT_SETTING_COMMON_(Type, Name, __VA_ARGS__)                                 \
    Q_INVOKABLE void set##Name(const Type &value);

#define ZT_ASSIGN_SETTING(Name, value)                                          \
    (m_##Name == (value) ? false                                                \
     : fillingQuietly    ? (m_##Name = (value), true)                           \
                         : (changingProperty(#Name), m_##Name = (value),        \
                            Q_EMIT changed##Name(m_##Name),                     \
                            changedProperty(QStringLiteral(#Name)), true))
#define ZT_SPARSE_TEXT_SETTING(Name, slot)                                      \
public:                                                                         \
    Q_INVOKABLE QString get##Name() const { return sparseTexts.at(slot); }      \
    Q_INVOKABLE void reset##Name() { set##Name(QString()); }                    \
    Q_SIGNAL void changed##Name(const QString &value);                          \
    Q_INVOKABLE void set##Name(const QString &value)                            \
    {                                                                           \
        if (sparseTexts.at(slot) == value)                                      \
            return;                                                             \
        if (fillingQuietly) {                                                   \
            sparseTexts.set(slot, value);                                       \
            return;                                                             \
        }                                                                       \
        changingProperty(#Name);                                                \
        sparseTexts.set(slot, value);                                           \
        Q_EMIT changed##Name(sparseTexts.at(slot));                             \
        changedProperty(QStringLiteral(#Name));                                 \
    }
// clang-format on
