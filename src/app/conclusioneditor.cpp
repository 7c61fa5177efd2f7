#include "app/conclusioneditor.h"

#include "db/rows/conclusions.h"
#include "db/rows/record.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConclusionEditor::ConclusionEditor(Conclusions *conclusions, QWidget *parent)
    : QWidget(parent)
    , conclusions(conclusions)
    , text(new QPlainTextEdit)
    , byLine(new QLabel)
    , saveButton(new QPushButton(tr("Save conclusion")))
{
    setObjectName(QStringLiteral("conclusionEditor"));
    text->setObjectName(QStringLiteral("conclusionText"));
    text->setPlaceholderText(tr("Conclusion"));
    text->setTabChangesFocus(true);
    text->installEventFilter(this);
    byLine->setObjectName(QStringLiteral("conclusionByLine"));
    byLine->setWordWrap(true);
    saveButton->setObjectName(QStringLiteral("saveConclusion"));
    // Who wrote it and the button beside the text, not under it: the records and the
    // preview above keep the room.
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(text, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(byLine, 1, Qt::AlignTop);
    side->addWidget(saveButton);
    layout->addLayout(side);
    byLine->setMaximumWidth(saveButton->sizeHint().width() * 2);
    connect(saveButton, &QPushButton::clicked, this, &ConclusionEditor::save);
    connect(text, &QPlainTextEdit::textChanged, this, [this] { saveButton->setEnabled(hasUnsavedEdit()); });
    connect(conclusions, &Conclusions::changed, this, [this](int changed) {
        if ((changed == recordId || changed < 0) && !hasUnsavedEdit())
            showStored();
    });
    // What is written when the program ends is kept too.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ConclusionEditor::save);
    setRecord(nullptr);
}

void ConclusionEditor::setRecord(Record *shown)
{
    // Refused (the server is gone): the text must not vanish with the switch.
    if (record && hasUnsavedEdit() && !save()) {
        AppHelper::warningMessage(tr("The conclusion was not saved: %1").arg(refusal) + QStringLiteral("\n\n")
            + text->toPlainText());
    }
    record = shown;
    recordId = shown ? shown->getId() : -1;
    text->setEnabled(recordId > 0);
    showStored();
}

bool ConclusionEditor::hasUnsavedEdit() const
{
    return record && text->toPlainText() != storedText;
}

bool ConclusionEditor::save()
{
    if (!hasUnsavedEdit())
        return true;
    QString reason;
    if (!conclusions->write(record, text->toPlainText(), &reason)) {
        refusal = reason;
        byLine->setText(tr("Not saved: %1").arg(reason));
        return false;
    }
    showStored();
    return true;
}

void ConclusionEditor::showStored()
{
    const Conclusions::Conclusion stored
        = recordId > 0 ? conclusions->conclusionOf(recordId) : Conclusions::Conclusion();
    storedText = stored.text;
    if (text->toPlainText() != storedText)
        text->setPlainText(storedText);
    byLine->setText(stored.isEmpty()
            ? QString()
            : tr("Written by %1, %2").arg(stored.writtenBy, DateText::dateTime(stored.writtenAt)));
    saveButton->setEnabled(false);
}

bool ConclusionEditor::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the text keeps what was written.
    if (watched == text && event->type() == QEvent::FocusOut)
        save();
    return QWidget::eventFilter(watched, event);
}
