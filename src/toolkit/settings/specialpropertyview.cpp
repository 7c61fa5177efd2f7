#include "toolkit/settings/specialpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

SpecialPropertyView::SpecialPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    folder
        = description && description->specialType.contains(QLatin1String("PickFolder"), Qt::CaseInsensitive);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("propertyPathEdit"));
    edit->setMinimumWidth(100);
    setEditor(edit, 100);
    chooserButton = new QPushButton(tr("Open"), this);
    chooserButton->setObjectName(QStringLiteral("propertyOpenButton"));
    chooserButton->setFocusPolicy(Qt::ClickFocus);
    chooserButton->setAutoDefault(false);
    addWidget(chooserButton);
    refresh();
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { writeValue(text); });
    connect(chooserButton, &QPushButton::clicked, this, &SpecialPropertyView::openChooser);
}

QFileDialog *SpecialPropertyView::openChooser()
{
    auto *edit = editorAs<QLineEdit>();
    const QString current = edit ? edit->text().trimmed() : QString();
    QString start = QDir::currentPath();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        start = folder && info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    }

    auto *dialog = new QFileDialog(this, QString(), start);
    dialog->setObjectName(QStringLiteral("propertyFileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (folder) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog->setFileMode(QFileDialog::AnyFile);
        if (description && !description->specialTypeArgument.isEmpty())
            dialog->setNameFilter(description->specialTypeArgument);
        if (!current.isEmpty())
            dialog->selectFile(QFileInfo(current).fileName());
    }
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (auto *edit = editorAs<QLineEdit>())
            edit->setText(QDir::toNativeSeparators(path));
    });
    dialog->open();
    return dialog;
}

void SpecialPropertyView::showValue(const QVariant &value)
{
    auto *edit = editorAs<QLineEdit>();
    const QString text = value.toString();
    if (edit && edit->text() != text)
        edit->setText(text);
}
