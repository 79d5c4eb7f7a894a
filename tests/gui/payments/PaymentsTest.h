#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ui/ListGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

/// A screen test on the payments, with helpers that store payments and set the AR03 counter.
class PaymentsTest : public ScreenFixture
{
protected:
    static void registerAgent() { setRegistration(4521, {}, QStringLiteral("Banco del Sur S.A.")); }

    /// Stores a payment; the values are SQL literals ("null" for none). Returns its ID.
    double addPayment(const QString& posicion, const QString& semana, const QString& fecha, const QString& importe,
                      const QString& moneda, const QString& numero = QStringLiteral("null"))
    {
        execute(QStringLiteral("insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) "
                               "values (%1, %2, %3, %4, %5, %6)")
                    .arg(posicion, semana, fecha, importe, moneda, numero));
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
};
