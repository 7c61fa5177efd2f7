#include "toolkit/util/aboutwidget.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

AboutWidget::AboutWidget(
    const QString &makerName, const QList<Author> &authorList, const QString &address, QWidget *parent)
    : QWidget(parent)
    , maker(new QLabel(this))
    , authors(new QLabel(this))
    , link(new QLabel(this))
{
    maker->setObjectName(QStringLiteral("aboutMaker"));
    maker->setTextFormat(Qt::RichText);
    maker->setText(
        QStringLiteral("<b>%1</b>")
            .arg(QCoreApplication::translate("Generic", makerName.toUtf8().constData()).toHtmlEscaped()));

    QStringList lines;
    for (const Author &author : authorList)
        lines << (author.name.toHtmlEscaped() + QStringLiteral(", ") + author.date.toHtmlEscaped());
    authors->setObjectName(QStringLiteral("aboutAuthors"));
    authors->setTextFormat(Qt::RichText);
    authors->setText(QStringLiteral("<b>") + tr("Authors") + QStringLiteral("</b><br/>")
        + lines.join(QStringLiteral("<br/>")));

    link->setObjectName(QStringLiteral("aboutLink"));
    link->setTextFormat(Qt::RichText);
    link->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
    link->setOpenExternalLinks(true);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(maker);
    layout->addWidget(authors);
    layout->addWidget(link);
}
