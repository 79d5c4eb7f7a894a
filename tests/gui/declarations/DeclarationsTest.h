#pragma once

#include "support/ScreenFixture.h"

#include "platform/ui/ListGrid.h"
#include "rules/Cuit_Invalido.h"

using namespace Qt::StringLiterals;

/// The screen fixture with a registered agent (1234) and helpers that store declarations and lines.
class DeclarationsTest : public ScreenFixture
{
protected:
    DeclarationsTest() { setRegistration(1234, u"30-70707070-1"_s, u"Banco de Ostrel S.A."_s); }

    /// Dates as dd/mm/yyyy; an empty state or presentation date is stored as null.
    void addDeclaration(const QString& posicion, int secuencia, const QString& fecVto, const QString& generado,
                        const QString& fecPres = {})
    {
        execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres) "
                u"values ('%1', %2, '%3', nullif('%4', ''), nullif('%5', ''))"_s.arg(
                    posicion, QString::number(secuencia), fecVto, generado, fecPres));
    }

    /// A pending line of agent 77 in currency "01".
    void addLine(const QString& posicion, int secuencia, const QString& cbu, double cuit, double base,
                 const QString& tipoCuenta = u"01"_s)
    {
        execute(u"Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, C_Tipo_Cuenta, "
                u"C_Tipo_Moneda, N_Cuit, N_Depositos, I_Base_Imponible, I_Retenido, F_Auditoria) "
                u"values (%1, %2, 77, '%3', '%4', '01', %5, 1, %6, 10.25, '01/09/2002')"_s.arg(
                    QString::number(secuencia), posicion, cbu, tipoCuenta, db::Value::numberText(cuit),
                    db::Value::numberText(base)));
    }

    int lineCount(const QString& posicion, int secuencia)
    {
        return m_db.count(u"DDJJ_Detalle"_s,
                          u"where N_Posicion_Fiscal = %1 and Secuencia = %2"_s.arg(posicion).arg(secuencia));
    }

    /// Period 200209: sequence 1 superseded without lines, sequence 2 generated with five lines
    /// (line i: account exampleCbu(i), CUIT exampleCuit(i), base 1000 * (i + 1) + 0.5).
    void addGeneratedExample()
    {
        addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"S"_s, u"02/10/2002"_s);
        addDeclaration(u"200209"_s, 2, u"10/10/2002"_s, u"S"_s, u"08/10/2002"_s);
        for (int i = 0; i < 5; ++i)
            addLine(u"200209"_s, 2, exampleCbu(i), exampleCuit(i), 1000.0 * (i + 1) + 0.5, i == 4 ? u"02"_s : u"01"_s);
        execute(u"Update DDJJ_Detalle Set N_Comprobante = 27, Hoja = '1', F_Presentacion = '08/10/2002'"_s);
    }

    /// Lines 0 and 4 share an account: the key is the pair of account and CUIT.
    static QString exampleCbu(int i)
    {
        return i == 4 ? exampleCbu(0) : u"01100123000000000000%1"_s.arg(i + 1, 2, 10, QChar(u'0'));
    }
    static double exampleCuit(int i) { return validCuit(2012345670.0 + i * 11); }

    /// The ten leading digits with the check digit that makes them a valid CUIT.
    static double validCuit(double leadingDigits)
    {
        for (int check = 0; check < 10; ++check)
            if (!Cuit_Invalido(leadingDigits * 10 + check))
                return leadingDigits * 10 + check;
        return validCuit(leadingDigits + 1);
    }
};
