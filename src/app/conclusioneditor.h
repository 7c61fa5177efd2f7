#pragma once

#include <QPointer>
#include <QWidget>

class Conclusions;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class Record;

// The selected recording's conclusion under its preview: written in place
// and stored when the user saves it, leaves the text or chooses another
// recording. What another workstation stores shows here unless the text
// holds edits not saved yet.
class ConclusionEditor : public QWidget
{
    Q_OBJECT
public:
    explicit ConclusionEditor(Conclusions *conclusions, QWidget *parent = nullptr);

    // Stores an unsaved edit of the recording shown so far, then shows this
    // one's conclusion (none: nothing to write in).
    void setRecord(Record *record);
    // Stores the text; false when it was refused (the text stays, the reason
    // shows under it).
    bool save();
    bool hasUnsavedEdit() const;
    QPlainTextEdit *textEdit() const { return text; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showStored();

    Conclusions *conclusions;
    QPointer<Record> record;
    int recordId = -1;
    QPlainTextEdit *text;
    QLabel *byLine;
    QPushButton *saveButton;
    QString storedText;
    QString refusal;
};
