#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

class AbstractMetaDescription;
class QHBoxLayout;
class QPushButton;

// The right-hand part of one form row: the editor of one setting and, when the
// setting has a default to offer, a small button that restores it. Every edit
// is written to the setting at once; every change of the setting, wherever it
// comes from, is shown without being written back.
class BasePropertyView : public QWidget
{
    Q_OBJECT
public:
    explicit BasePropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    // Null once the setting's object is gone.
    AbstractMetaDescription *getDescription() const;
    // Shows and edits another object's setting of the same declaration from now on
    // (forms reuse their rows for another object of the class).
    void setDescription(AbstractMetaDescription *other);
    // The widget that takes the focus for this row; may be null.
    virtual QWidget *getEditor() const;
    // Detaches the editor: the view neither shows nor writes through it any more.
    virtual void nullifyEditor();
    // One step up or down in numeric views; nothing elsewhere.
    virtual void up();
    virtual void down();

    // Null when the setting offers no default (no Default, NoDefault or ReadOnly).
    QPushButton *getDefaultButton() const;
    void showDefaultButton(bool show);
    // The default button shows pressed while the value differs from its default.
    void markDiffersFromDefault(bool differs);

    // A view that only presents its value (the form's editors are off) shows text as
    // it may be displayed: control and invisible characters written out, so that a
    // stored name cannot disguise itself. An editing view shows the value as it is.
    void setPresenting(bool presenting);

    // "" stays empty; "!-x" gives x untranslated; " x" keeps the space and
    // translates x; anything else is translated whole (context "Generic").
    static QString translatedSuffixOrPrefix(const QString &text);

public slots:
    // Shows the new value with the editor's signals blocked, then updates the button.
    virtual void metaValueChanged(const QVariant &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Places the editor before the default button and makes it this row's editor.
    void setEditor(QWidget *editor, int stretch = 0);
    // Places a further widget (a unit label, a chooser button) before the default button.
    void addWidget(QWidget *widget, int stretch = 0);
    template <class T> T *editorAs() const { return qobject_cast<T *>(getEditor()); }

    // Puts value into the editor; signals are already blocked.
    virtual void showValue(const QVariant &value) = 0;
    // Compares as text; numeric views compare as numbers.
    virtual bool isDefaultValue() const;
    // The default as shown in the button's tool tip.
    virtual QString defaultValueText() const;
    bool numberIsDefault(double value) const;

    // Writes to the setting; the echo of this very write is not shown back.
    bool writeValue(const QVariant &value);
    bool writeTextValue(const QString &text);
    void updateDefaultButton();
    // Shows the setting's current value (constructors call it once the editor exists).
    void refresh();

    static int enumValue(const QVariant &value);

    QPointer<AbstractMetaDescription> description;
    QHBoxLayout *rowLayout = nullptr;
    QPushButton *defaultButton = nullptr;
    bool presenting = false;

private:
    QPointer<QWidget> editor;
    bool writing = false;
};
