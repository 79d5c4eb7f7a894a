#pragma once

#include "gui/shell/ScreenTest.h"
#include "support/Printers.h"
#include "support/ReportFiles.h"

#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/ui/ListGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

/// A screen test with the AR03 form beside the program and a recording report engine.
class PaymentsTest : public ScreenTest
{
protected:
    PaymentsTest()
    {
        QFile::copy(ReportFiles::shipped(QStringLiteral("AR03.rpt")), m_db.dir() + QStringLiteral("/AR03.rpt"));
        auto engine = std::make_unique<report::RecordingReportEngine>();
        m_engine = engine.get();
        report::ReportEngine::install(std::move(engine));
    }

    ~PaymentsTest() override { report::ReportEngine::install(nullptr); }

    static void registerAgent()
    {
        clsCodigo& codigo = clsCodigo::instance();
        codigo.Par_Agente = 4521;
        codigo.Par_Denomin = QStringLiteral("Banco del Sur S.A.");
    }

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

    template <typename Widget>
    static Widget* child(QWidget& screen, const QString& name)
    {
        return screen.findChild<Widget*>(name);
    }

    [[nodiscard]] static QString focused()
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    report::RecordingReportEngine* m_engine = nullptr;
};
