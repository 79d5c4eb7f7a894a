#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ui/ListGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

/// A screen test on the payments: four stored payments of different periods, weeks and amounts, in
/// fiscal-period order (the second already numbered 7), and helpers for the AR03 counter.
class PaymentsTest : public ScreenFixture
{
protected:
    PaymentsTest()
    {
        using namespace Qt::StringLiterals;
        m_ids = {addPayment(u"200207, 4, '20/07/2002', 300, '02'"_s),
                 addPayment(u"200208, 1, '05/08/2002', -12.5, '03'"_s, u"7"_s),
                 addPayment(u"200209, 3, '16/09/2002', 1234.5, '01'"_s), addPayment(u"200210, 2, null, null, '09'"_s)};
    }

    static void registerAgent() { setRegistration(4521, {}, QStringLiteral("Banco del Sur S.A.")); }

    /// Stores a payment from its period, week, date, amount and currency as SQL values; gives its ID.
    double addPayment(const QString& values, const QString& numero = QStringLiteral("null"))
    {
        execute(QStringLiteral("insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) "
                               "values (%1, %2)")
                    .arg(values, numero));
        return m_db.scalar(QStringLiteral("select max(Id) from AR03")).toDouble();
    }

    /// The number the next first printing gives (PARAMETROS row 4); a null QString leaves no row.
    void setCounter(const QString& valor)
    {
        execute(QStringLiteral("delete from PARAMETROS where ID = 4"));
        if (!valor.isNull())
            execute(QStringLiteral("insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', '%1')")
                        .arg(valor));
    }

    [[nodiscard]] QString counter()
    {
        return m_db.scalar(QStringLiteral("select Valor from PARAMETROS where ID = 4")).toString();
    }
    [[nodiscard]] db::Value numero(double id)
    {
        return m_db.scalar(QStringLiteral("select Numero from AR03 where Id = ") + QString::number(id));
    }

    /// Types into a box through its key filter, cleared first with the Backspace an operator would use.
    static void type(QWidget& screen, const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(screen, box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    QList<double> m_ids;
};
