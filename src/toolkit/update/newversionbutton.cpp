#include "toolkit/update/newversionbutton.h"

#include "toolkit/update/newversionchecker.h"

#include <QGridLayout>
#include <QPushButton>

namespace
{

const char *const DefaultStyle
    = "QPushButton { color: #000; background: #0BE; text-decoration: none; "
      "border-radius: 4px; padding: 4px 8px; } QPushButton:hover { background: #0AD}";

} // namespace

NewVersionButton::NewVersionButton(const QString &preliminaryText, const QString &style, QWidget *parent)
    : QWidget(parent)
    , pushButton(new QPushButton(this))
    , checker(new NewVersionChecker(preliminaryText, this))
{
    pushButton->setObjectName(QStringLiteral("newVersionButton"));
    pushButton->setCursor(Qt::PointingHandCursor);
    pushButton->setVisible(false);
    setButtonStyle(style);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pushButton);

    connect(pushButton, &QPushButton::clicked, checker, &NewVersionChecker::action);
    connect(checker, &NewVersionChecker::onSetText, pushButton, &QPushButton::setText);
    connect(checker, &NewVersionChecker::onSetTooltip, pushButton, &QPushButton::setToolTip);
    connect(checker, &NewVersionChecker::onSetVisible, this, [this](bool visible) {
        pushButton->setVisible(visible);
        emit onHasNewVersionChanged(visible);
    });
    checker->start();
}

void NewVersionButton::setButtonStyle(const QString &style)
{
    pushButton->setStyleSheet(style.isEmpty() ? QString::fromLatin1(DefaultStyle) : style);
}

void NewVersionButton::setPreliminaryText(const QString &text)
{
    checker->setPreliminaryText(text);
}
