#include "toolkit/update/newversionmenuaction.h"

#include "toolkit/update/newversionchecker.h"

NewVersionMenuAction::NewVersionMenuAction(const QString &preliminaryText, QWidget *parent)
    : QAction(parent)
    , checker(new NewVersionChecker(preliminaryText, this))
{
    setObjectName(QStringLiteral("newVersionAction"));
    setVisible(false);
    connect(this, &QAction::triggered, checker, &NewVersionChecker::action);
    connect(checker, &NewVersionChecker::onSetText, this, &QAction::setText);
    connect(checker, &NewVersionChecker::onSetTooltip, this, &QAction::setToolTip);
    connect(checker, &NewVersionChecker::onSetVisible, this, [this](bool visible) {
        setVisible(visible);
        emit onHasNewVersionChanged(visible);
    });
    checker->start();
}

void NewVersionMenuAction::setPreliminaryText(const QString &text)
{
    checker->setPreliminaryText(text);
}
