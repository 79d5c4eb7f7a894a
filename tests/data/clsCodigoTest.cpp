#include "support/TempDatabase.h"

#include "data/Schema.h"
#include "data/clsCodigo.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

class clsCodigoTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::install(QDate(2002, 10, 1)); }
    void TearDown() override { Clock::uninstall(); }

    bool addLine(double sequence, double period, const QString& cbu, double cuit)
    {
        return m_codigo.Insertar_Detalle_DDJJ(sequence, period, 1234, cbu, u"01"_s, u"01"_s, cuit, 3, 1500.5, 15.25);
    }

    static QStringList column(clsCodigo::RecordsetPtr rows, QStringView field)
    {
        QStringList values;
        for (; rows && !rows->eof(); rows->moveNext())
            values << rows->field(field).toString();
        return values;
    }

    TempDatabase m_temp;
    clsCodigo& m_codigo = clsCodigo::instance();
};

} // namespace

TEST_F(clsCodigoTest, ParametersAndPayments)
{
    EXPECT_EQ(m_codigo.Existe_Parametro(1), 0);
    const auto missing = m_codigo.Get_Parametro(1);
    EXPECT_TRUE(missing && missing->eof()) << "a missing row is an empty recordset, not a failure";
    EXPECT_TRUE(m_codigo.Insertar_Parametro(2, u"Razón Social"_s, u"O'Neill S.A."_s));
    EXPECT_FALSE(m_codigo.Insertar_Parametro(2, u"duplicado"_s, u"x"_s)) << "the ID is unique";
    EXPECT_EQ(m_codigo.Existe_Parametro(2), 1);
    EXPECT_EQ(column(m_codigo.Get_Parametro(2), u"Valor"), QStringList{u"O`Neill S.A."_s});

    EXPECT_FALSE(m_codigo.Existen_AR03s());
    EXPECT_TRUE(m_codigo.Insertar_AR03(200209, 2, u"05/09/2002"_s, 1234.5, u"01"_s));
    EXPECT_TRUE(m_codigo.Insertar_AR03(200208, 1, u"05/08/2002"_s, 10, u"03"_s));
    EXPECT_TRUE(m_codigo.Insertar_AR03(200209, 1, u"01/09/2002"_s, 99.99, u"02"_s));
    EXPECT_FALSE(m_codigo.Insertar_AR03(200209, 1, u"31/09/2002"_s, 1, u"01"_s)) << "impossible date";
    EXPECT_TRUE(m_codigo.Existen_AR03s());
    EXPECT_EQ(m_codigo.Existen_AR03s_77(u"200209"_s), 2);
    EXPECT_FALSE(m_codigo.Get_AR03s(u"NoExiste"_s)) << "a failed query gives no recordset";

    EXPECT_TRUE(m_codigo.Modificar_AR03(1, 7));
    EXPECT_FALSE(m_codigo.Modificar_AR03(99, 7)) << "no row to update";
    EXPECT_EQ(m_temp.scalar(u"select Numero from AR03 where Id = 1"_s).toDouble(), 7);
    EXPECT_TRUE(m_codigo.Eliminar_AR03(1));
    EXPECT_TRUE(m_codigo.Eliminar_AR03(1)) << "true whatever it deleted";
    EXPECT_TRUE(m_codigo.Insertar_AR03(200209, 3, u"10/09/2002"_s, 1, u"01"_s));
    EXPECT_EQ(m_temp.scalar(u"select max(Id) || ' ' || count(*) from AR03"_s).toString(), u"4 3"_s)
        << "identifiers are never reused";
}

TEST_F(clsCodigoTest, DeclarationsAndTheirLines)
{
    EXPECT_EQ(m_codigo.Get_secuencia(200209), 0);
    for (const auto& [sequence, period] : {std::pair{1, 200209}, {1, 200208}, {2, 200209}})
        EXPECT_TRUE(m_codigo.Insertar_DDJJ(sequence, period, u"15/10/2002"_s));
    EXPECT_FALSE(m_codigo.Insertar_DDJJ(2, 200209, u"15/10/2002"_s)) << "period and sequence are unique";
    EXPECT_EQ(m_codigo.Get_secuencia(200209), 2);
    EXPECT_TRUE(m_codigo.Modificar_DDJJ_Disk(1, 200208));
    EXPECT_FALSE(m_codigo.Modificar_DDJJ_Disk(5, 200208));
    EXPECT_EQ(column(m_codigo.Get_DDJJs(u""_s), u"Generado"), (QStringList{u"S"_s, u"N"_s, u"N"_s}));
    EXPECT_EQ(column(m_codigo.Get_DDJJs(u""_s), u"Fecha_Pres"), (QStringList{u"01/10/2002"_s, u""_s, u""_s}));

    EXPECT_TRUE(addLine(1, 200209, u"0720000788000012345678"_s, 20123456786));
    EXPECT_TRUE(addLine(1, 200209, u"0110"_s, 27000000006));
    EXPECT_FALSE(addLine(1, 200209, u"0110"_s, 27000000006)) << "one line per CBU and CUIT";
    EXPECT_TRUE(addLine(2, 200209, u"0110"_s, 27000000006));
    EXPECT_EQ(m_codigo.Existe_Detalle_DDJJ(1, 200209, u" 0110 "_s, 27000000006), 1);
    EXPECT_EQ(m_codigo.Existe_Detalle(1, 200209), 2);
    EXPECT_TRUE(m_codigo.Existen_AR04s());
    EXPECT_EQ(column(m_codigo.Get_Detalle_DDJJs(u"ignored"_s, 200209, 1), u"N_CBU"),
              (QStringList{u"0110"_s, u"0720000788000012345678"_s}));
    EXPECT_TRUE(m_codigo.Modificar_Detalle_DDJJ(1, 200209, u"0110"_s, 27000000006, u" 0111 "_s, u"02"_s, u"03"_s,
                                                27000000006, 4, 2000, 20));

    // Generation stamps one pending line; a stamped line is no longer changed one by one.
    EXPECT_TRUE(m_codigo.Modificar_Detalle_Disk(1, 200209, 55, 27000000006, u"0111"_s, u"1"_s));
    EXPECT_FALSE(m_codigo.Modificar_Detalle_Disk(1, 200209, 56, 27000000006, u"0111"_s, u"2"_s));
    EXPECT_FALSE(m_codigo.Modificar_Detalle_DDJJ(1, 200209, u"0111"_s, 27000000006, u"0111"_s, u"01"_s, u"01"_s,
                                                 27000000006, 1, 1, 1));
    EXPECT_EQ(column(m_codigo.Get_Detalle_DDJJs_Disk_1(200209, 1), u"N_CBU"), QStringList{u"0720000788000012345678"_s});
    EXPECT_EQ(m_codigo.Get_Comprobante(200209, 1), 55) << "first line found, null counts as 0 otherwise";
    EXPECT_EQ(column(m_codigo.Get_Comprobantes(200209, 1), u"Comp").size(), 2);
    EXPECT_TRUE(m_codigo.Eliminar_Detalle_DDJJ(1, 200209, u" 0111 "_s, 27000000006)) << "whatever the line's state";
    EXPECT_FALSE(m_codigo.Eliminar_Detalle_DDJJ(1, 200209, u"0111"_s, 27000000006));
    EXPECT_EQ(m_codigo.Existe_Detalle(1, 200209), 1);
}

TEST_F(clsCodigoTest, EmptyingADeclarationIsAllOrNothingAndOperationsFailQuietlyWithoutAConnection)
{
    ASSERT_TRUE(m_codigo.Insertar_DDJJ(1, 200209, u"15/10/2002"_s) && m_codigo.Modificar_DDJJ_Disk(1, 200209));
    ASSERT_TRUE(addLine(1, 200209, u"1"_s, 20123456786));
    ASSERT_TRUE(addLine(1, 200209, u"2"_s, 20123456786));
    EXPECT_TRUE(m_codigo.Eliminar_DDJJ(1, 200209));
    EXPECT_EQ(m_codigo.Existe_Detalle(1, 200209), 0);
    EXPECT_EQ(m_temp.scalar(u"select Generado from DDJJ"_s).toString(), u"N"_s);
    EXPECT_TRUE(m_codigo.Eliminar_DDJJ(9, 200209)) << "true once both ran, whatever they touched";

    // When the second statement fails the lines stay where they were.
    ASSERT_TRUE(addLine(1, 200209, u"3"_s, 20123456786));
    m_temp.db().executeScript(u"CREATE TRIGGER no_reabrir BEFORE UPDATE ON DDJJ BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
    EXPECT_FALSE(m_codigo.Eliminar_DDJJ(1, 200209));
    EXPECT_EQ(m_codigo.Existe_Detalle(1, 200209), 1);

    // Without a connection, one operation of each kind: they share their handling of a failed statement.
    TempDatabase::disconnect();
    EXPECT_FALSE(m_codigo.Get_DDJJs(u""_s)) << "a query gives no recordset";
    EXPECT_EQ(m_codigo.Existe_Detalle(1, 1), 0) << "a count gives 0";
    EXPECT_FALSE(addLine(1, 1, u"1"_s, 1)) << "a change gives false";
    EXPECT_FALSE(m_codigo.Eliminar_DDJJ(1, 1));
    EXPECT_FALSE(m_codigo.Eliminar_AR03(1));
}

// A sheet of a long printing reads its own lines through an index, never the whole declaration: the pending
// lines in the sheets' order for a first printing, a sheet's lines for a reprint. A file written before the
// indexes existed receives them.
TEST_F(clsCodigoTest, SheetQueriesFindTheirLinesThroughAnIndexThatOlderFilesReceive)
{
    db::Database& database = m_temp.db();
    const auto plan = [&](const char* sql) {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(database.handle(), sql, -1, &statement, nullptr), SQLITE_OK);
        QStringList steps;
        while (statement && sqlite3_step(statement) == SQLITE_ROW)
            steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
        sqlite3_finalize(statement);
        return steps.join(u"; "_s);
    };
    const auto indexes = [&] {
        return m_temp.count(u"sqlite_master"_s, u"where type = 'index' and name like 'DDJJ_Detalle_%'"_s);
    };
    for (const bool olderFile : {false, true}) {
        if (olderFile) {
            database.executeScript(u"DROP INDEX DDJJ_Detalle_Pendientes; DROP INDEX DDJJ_Detalle_Hoja;"_s);
            ASSERT_EQ(indexes(), 1);
            ASSERT_TRUE(Schema::addMissingIndexes(database));
        }
        EXPECT_EQ(indexes(), 3);
        const QString pending =
            plan("EXPLAIN QUERY PLAN SELECT * FROM DDJJ_Detalle WHERE N_Posicion_Fiscal = 200209 AND Secuencia = 1 "
                 "AND N_Comprobante IS NULL AND F_Presentacion IS NULL ORDER BY N_CBU, C_TIPO_CUENTA LIMIT 41");
        EXPECT_TRUE(pending.contains(u"DDJJ_Detalle_Pendientes"_s) && !pending.contains(u"TEMP B-TREE"_s))
            << pending.toStdString();
        const QString sheet = plan("EXPLAIN QUERY PLAN SELECT * FROM DDJJ_Detalle WHERE N_Posicion_Fiscal = 200209 "
                                   "AND Secuencia = 1 AND Hoja = '7' ORDER BY N_CBU, C_TIPO_CUENTA");
        EXPECT_TRUE(sheet.contains(u"DDJJ_Detalle_Hoja"_s) && !sheet.contains(u"TEMP B-TREE"_s)) << sheet.toStdString();
        const QString stamp = plan("EXPLAIN QUERY PLAN UPDATE DDJJ_Detalle SET Hoja = '1' WHERE Secuencia = 1 AND "
                                   "N_Posicion_Fiscal = 200209 AND N_CBU = '1' AND N_Cuit = 2 AND N_Comprobante IS "
                                   "NULL AND F_Presentacion IS NULL");
        EXPECT_TRUE(stamp.contains(u"DDJJ_Detalle_Clave"_s)) << stamp.toStdString();
    }
}
