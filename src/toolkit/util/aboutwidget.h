#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;

// The maker, the authors each with a date, and a web link: the part of an About box
// that says who made the program.
class AboutWidget : public QWidget
{
    Q_OBJECT
public:
    struct Author {
        QString name;
        QString date;
    };

    // The maker's name is translated in the context "Generic".
    AboutWidget(
        const QString &maker, const QList<Author> &authors, const QString &link, QWidget *parent = nullptr);

private:
    QLabel *maker;
    QLabel *authors;
    QLabel *link;
};
