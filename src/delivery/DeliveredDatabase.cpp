#include "DeliveredDatabase.h"

#include "platform/Regional.h"
#include "platform/db/Database.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

bool validPeriod(int period)
{
    const int month = period % 100;
    return period >= 190001 && period <= 999912 && month >= 1 && month <= 12;
}

int nextPeriod(int period)
{
    return period % 100 == 12 ? (period / 100 + 1) * 100 + 1 : period + 1;
}

QDate dueDate(int period, int dueDay)
{
    const QDate following = QDate(period / 100, period % 100, 1).addMonths(1);
    return QDate(following.year(), following.month(), std::min(dueDay, following.daysInMonth()));
}

} // namespace

QString DeliveredDatabase::check(const Periods& periods)
{
    if (!validPeriod(periods.from) || !validPeriod(periods.to))
        return u"Los períodos deben tener la forma AAAAMM, con un mes de 01 a 12."_s;
    if (periods.from > periods.to)
        return u"El período inicial es posterior al final."_s;
    if (periods.dueDay < 1 || periods.dueDay > 31)
        return u"El día de vencimiento debe estar entre 1 y 31."_s;
    return {};
}

void DeliveredDatabase::addParameters(db::Database& database, const QString& helpFile)
{
    const struct
    {
        int id;
        QString description;
        QString value;
    } rows[] = {
        {4, u"Próximo Nro. de boleta AR03"_s, u"1"_s},
        {5, u"Próximo Nro. de comprobante AR04"_s, u"1"_s},
        {6, u"Documento de ayuda"_s, helpFile},
    };
    for (const auto& row : rows) {
        auto existing =
            database.openRecordset(u"Select count(*) as cant From PARAMETROS where ID = "_s + QString::number(row.id));
        if (existing->field(u"cant").toDouble() > 0)
            continue;
        QString value = row.value;
        QString description = row.description;
        database.execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values("_s + QString::number(row.id) +
                         u", '"_s + description.replace(u'\'', u"''"_s) + u"', '"_s + value.replace(u'\'', u"''"_s) +
                         u"')"_s);
    }
}

int DeliveredDatabase::addPeriods(db::Database& database, const Periods& periods)
{
    int added = 0;
    db::Transaction transaction(database);
    for (int period = periods.from; period <= periods.to; period = nextPeriod(period)) {
        const QString text = QString::number(period);
        auto existing =
            database.openRecordset(u"Select count(*) as cant From DDJJ where Posicion_Fiscal = '"_s + text + u"'"_s);
        if (existing->field(u"cant").toDouble() > 0)
            continue;
        database.execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) values('"_s + text +
                         u"', 1, '"_s + Regional::dateText(dueDate(period, periods.dueDay)) + u"', 'N')"_s);
        ++added;
    }
    transaction.commit();
    return added;
}
