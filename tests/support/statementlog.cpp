#include "support/statementlog.h"

#include <QLoggingCategory>
#include <QtGlobal>
#include <cstring>

namespace
{

QStringList *collected = nullptr;
QtMessageHandler previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (collected && context.category && std::strcmp(context.category, "kesta.db.sql") == 0) {
        collected->append(message);
        return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

StatementLog::StatementLog()
{
    Q_ASSERT(!collected);
    collected = new QStringList;
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.db.sql.debug=true"));
    previousHandler = qInstallMessageHandler(collect);
}

StatementLog::~StatementLog()
{
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    delete collected;
    collected = nullptr;
}

QStringList StatementLog::statements() const
{
    return *collected;
}

QStringList StatementLog::statements(const QString &verb) const
{
    QStringList matching;
    for (const QString &statement : *collected) {
        if (statement.startsWith(verb + QLatin1Char(' '), Qt::CaseInsensitive))
            matching.append(statement);
    }
    return matching;
}

int StatementLog::count() const
{
    return collected->size();
}

void StatementLog::clear()
{
    collected->clear();
}
