#include "app/cardplacement.h"

#include "app/patienteditor.h"
#include "db/model/kestasettings.h"

#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

// The card's new place has been laid out by then, so the sizes land on the final panes.
constexpr int SplitterDelayMs = 200;

} // namespace

CardPlacement::CardPlacement(KestaSettings *settings, PatientEditor *card, QWidget *window)
    : QObject(window)
    , settings(settings)
    , card(card)
    , window(window)
    , center(new QWidget)
    , centerLayout(new QVBoxLayout(center))
    , panel(new QWidget)
    , panelLayout(new QVBoxLayout(panel))
{
    center->setObjectName(QStringLiteral("cardCenterPane"));
    centerLayout->setContentsMargins(0, 0, 0, 0);
    panel->setObjectName(QStringLiteral("panelPatient"));
    panel->setEnabled(false);
    panelLayout->setContentsMargins(0, 0, 0, 0);
}

void CardPlacement::follow(QSplitter *followed)
{
    splitter = followed;
    connect(splitter, &QSplitter::splitterMoved, this, &CardPlacement::saveSplitterSizes);
    connect(settings, &KestaSettings::changedPatientCardView, this, &CardPlacement::applyCardView);
    applyCardView();
}

void CardPlacement::applyCardView()
{
    // Out of its pane's layout, but still the window's, so that it never goes unowned.
    card->hide();
    card->setParent(window);
    switch (settings->getPatientCardView()) {
    case KestaSettings::PatientCard_Center:
        centerLayout->addWidget(card);
        center->show();
        panel->hide();
        card->setTabbed(false);
        card->show();
        break;
    case KestaSettings::PatientCard_Right:
        panelLayout->addWidget(card);
        panel->show();
        center->hide();
        card->setTabbed(true);
        card->show();
        break;
    case KestaSettings::PatientCard_None:
        panel->hide();
        center->hide();
        break;
    }
    QTimer::singleShot(SplitterDelayMs, this, &CardPlacement::applySplitterSizes);
}

void CardPlacement::saveSplitterSizes()
{
    QStringList parts;
    for (int size : splitter->sizes())
        parts << QString::number(size);
    settings->setSplitterSizes(parts.join(QLatin1Char(';')));
}

QList<int> CardPlacement::splitterSizes(const QString &stored, bool cardInCenter, int width)
{
    QStringList parts = stored.split(QLatin1Char(';'));
    // Never stored (a first start): the card and the records get the larger share, so that the
    // card's tabs show whole even at 1024 pixels.
    if (stored.isEmpty())
        parts = QStringList { QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("3") };
    else if (parts.size() != 3)
        parts = QStringList { QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("1000") };
    QList<qint64> values;
    for (const QString &part : qAsConst(parts))
        values << qMax(0, part.toInt());
    if (!cardInCenter)
        values[1] = 0;
    qint64 sum = values[0] + values[1] + values[2];
    if (sum == 0) {
        values = { 1, cardInCenter ? 1 : 0, 1 };
        sum = cardInCenter ? 3 : 2;
    }
    QList<int> sizes;
    for (qint64 value : qAsConst(values))
        sizes << int(value * width / sum);
    return sizes;
}

void CardPlacement::applySplitterSizes()
{
    splitter->setSizes(splitterSizes(settings->getSplitterSizes(),
        settings->getPatientCardView() == KestaSettings::PatientCard_Center, window->width()));
}
