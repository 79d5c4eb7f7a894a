#include "clsCodigo.h"

#include "Armar_Sql.h"
#include "ParameterValue.h"
#include "Schema.h"
#include "platform/Clock.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"

#include <QFile>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

db::Database& connection()
{
    db::Database* database = db::Database::current();
    if (!database)
        throw db::DbError("no hay conexión con la base de datos");
    return *database;
}

QString orderOrDefault(const QString& orden)
{
    const QString trimmed = orden.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("Posicion_Fiscal") : trimmed;
}

db::Value textOf(double number)
{
    return db::Value(db::Value::numberText(number));
}

} // namespace

clsCodigo& clsCodigo::instance()
{
    static clsCodigo s_shared;
    return s_shared;
}

clsCodigo::RecordsetPtr clsCodigo::query(const QString& sqlTemplate, std::vector<db::Value> values)
{
    try {
        neutraliseQuotes(values);
        return connection().openRecordset(sqlTemplate, values);
    } catch (const std::exception& error) {
        noteFailure(error);
        return nullptr;
    }
}

std::optional<db::Value> clsCodigo::firstValue(const QString& sqlTemplate, std::vector<db::Value> values,
                                               QStringView field)
{
    try {
        neutraliseQuotes(values);
        const auto rows = connection().openRecordset(sqlTemplate, values);
        if (rows->eof())
            return std::nullopt;
        return Si_Nulo(rows->field(field), db::Value(0));
    } catch (const std::exception& error) {
        noteFailure(error);
        return std::nullopt;
    }
}

double clsCodigo::firstNumber(const QString& sqlTemplate, std::vector<db::Value> values, QStringView field)
{
    const auto value = firstValue(sqlTemplate, std::move(values), field);
    return value ? value->toDouble() : 0;
}

int clsCodigo::change(const QString& sqlTemplate, std::vector<db::Value> values)
{
    try {
        neutraliseQuotes(values);
        return connection().execute(sqlTemplate, values);
    } catch (const std::exception& error) {
        noteFailure(error);
        return -1;
    }
}

void clsCodigo::noteFailure(const std::exception& error)
{
    const auto* dbError = dynamic_cast<const db::DbError*>(&error);
    m_lastFailure = dbError ? dbError->failure() : db::Failure::Other;
}

std::unique_ptr<db::Transaction> clsCodigo::beginTransaction()
{
    try {
        return std::make_unique<db::Transaction>(connection());
    } catch (const std::exception& error) {
        noteFailure(error);
        return nullptr;
    }
}

bool clsCodigo::commit(db::Transaction& transaction)
{
    try {
        transaction.commit();
        return true;
    } catch (const std::exception& error) {
        instance().noteFailure(error);
        return false;
    }
}

bool clsCodigo::detailKeyIsUnique()
{
    try {
        db::Database& database = connection();
        QStringList unique;
        // A partial index leaves some lines out, and a line left out could be repeated.
        for (auto indexes = database.openRecordset(u"PRAGMA index_list(DDJJ_Detalle)"_s); !indexes->eof();
             indexes->moveNext()) {
            if (indexes->field(u"unique").toDouble() == 1 && indexes->field(u"partial").toDouble() == 0)
                unique.append(indexes->field(u"name").toString());
        }
        const QStringList key = {u"N_Posicion_Fiscal"_s, u"Secuencia"_s, u"N_CBU"_s, u"N_Cuit"_s};
        for (const QString& index : unique) {
            // Two lines that agree on the four columns agree on any of them, so an index on some of them
            // refuses a duplicate too. An expression among its columns has no name and does not count.
            auto columns =
                database.openRecordset(u"PRAGMA index_info(\""_s + QString(index).replace(u'"', u"\"\""_s) + u"\")"_s);
            bool withinKey = !columns->eof();
            for (; withinKey && !columns->eof(); columns->moveNext())
                withinKey = key.contains(columns->field(u"name").toString(), Qt::CaseInsensitive);
            if (withinKey)
                return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}

// Queries -------------------------------------------------------------------------------------------------

clsCodigo::RecordsetPtr clsCodigo::Get_DDJJs(const QString& orden)
{
    return query(QStringLiteral("Select * From DDJJ Order by ?, Secuencia"), {orderOrDefault(orden)});
}

clsCodigo::RecordsetPtr clsCodigo::Get_AR03s(const QString& orden)
{
    return query(QStringLiteral("Select * From AR03 Order by ?"), {orderOrDefault(orden)});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Detalle_DDJJs(const QString& /*orden*/, double periodo, double secuencia)
{
    // The lines always come by account and account type; the list's sort clause is not used.
    return query(QStringLiteral("Select * From DDJJ_Detalle where N_Posicion_Fiscal = ? and Secuencia =  ? "
                                "Order by N_CBU, C_TIPO_CUENTA "),
                 {periodo, secuencia});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Detalle_DDJJs_Disk(double periodo, double secuencia, double /*comprobante*/)
{
    return query(QStringLiteral("Select * From DDJJ_Detalle  where N_Posicion_Fiscal = ?  And Secuencia = ? "),
                 {periodo, secuencia});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Detalle_Replica(double periodo, double secuencia)
{
    return query(QStringLiteral("Select * From DDJJ_Detalle  where N_Posicion_Fiscal = ?  And Secuencia = ?"),
                 {periodo, secuencia});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Detalle_DDJJs_Disk_1(double periodo, double secuencia)
{
    return query(QStringLiteral("Select * From DDJJ_Detalle  where N_Posicion_Fiscal = ?  And Secuencia = ? "
                                " And N_Comprobante is null  And F_Presentacion is null "),
                 {periodo, secuencia});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Detalle_DDJJ(double secuencia, double periodo, double cuit, const QString& cbu)
{
    return query(QStringLiteral("Select * From DDJJ_Detalle  where N_Posicion_Fiscal = ? and n_cuit = ? "
                                " and n_cbu = '?' and Secuencia = ? "),
                 {periodo, textOf(cuit), cbu, secuencia});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Parametro(double id)
{
    return query(QStringLiteral("Select ID, Descripcion, Valor From Parametros where Id = ? "), {textOf(id)});
}

clsCodigo::RecordsetPtr clsCodigo::Get_Comprobantes(double periodo, double secuencia)
{
    return query(QStringLiteral("Select DISTINCT Hoja as Comp From DDJJ_Detalle  where N_Posicion_Fiscal = ? "
                                " and Secuencia = ? "),
                 {textOf(periodo), textOf(secuencia)});
}

// Counts and single values ----------------------------------------------------------------------------------

bool clsCodigo::Existen_AR03s()
{
    return firstNumber(QStringLiteral("Select count(*) as cant From AR03"), {}, u"Cant") > 0;
}

double clsCodigo::Existen_AR03s_77(const QString& periodo)
{
    return firstNumber(QStringLiteral("Select count(*) as cant From AR03  where Posicion_Fiscal = ? "), {periodo},
                       u"Cant");
}

bool clsCodigo::Existen_AR04s()
{
    return firstNumber(QStringLiteral("Select count(*) as cant  From DDJJ_Detalle  where N_Comprobante is null "
                                      " and F_Presentacion is null "),
                       {}, u"Cant") > 0;
}

double clsCodigo::Get_secuencia(double periodo)
{
    return firstNumber(QStringLiteral("Select Max(Secuencia) as Secuen From DDJJ where Posicion_Fiscal = '?' "),
                       {textOf(periodo)}, u"Secuen");
}

double clsCodigo::Get_Comprobante(double periodo, double secuencia)
{
    return firstNumber(QStringLiteral("Select top 1 N_Comprobante From DDJJ_Detalle "
                                      " where N_Posicion_Fiscal = ? and Secuencia = ? "),
                       {textOf(periodo), textOf(secuencia)}, u"N_Comprobante");
}

long clsCodigo::Existe_Parametro(double id)
{
    return static_cast<long>(
        firstNumber(QStringLiteral("Select count(*) as cant From Parametros where Id = ? "), {textOf(id)}, u"Cant"));
}

long clsCodigo::Existe_Detalle_DDJJ(double secuencia, double periodo, const QString& cbu, double cuit)
{
    return static_cast<long>(
        firstNumber(QStringLiteral("Select count(*) as cant From DDJJ_Detalle where N_Posicion_Fiscal = ? "
                                   "and N_Cuit = ? and N_CBU = '?' and Secuencia = ? "),
                    {periodo, textOf(cuit), cbu.trimmed(), secuencia}, u"Cant"));
}

long clsCodigo::Existe_Detalle(double secuencia, double periodo)
{
    return static_cast<long>(firstNumber(
        QStringLiteral("Select count(*) as cant From DDJJ_Detalle where N_Posicion_Fiscal = ? and Secuencia = ? "),
        {periodo, secuencia}, u"Cant"));
}

// Changes -------------------------------------------------------------------------------------------------

bool clsCodigo::Insertar_Parametro(double id, const QString& descripcion, const QString& valor)
{
    return change(QStringLiteral("Insert Into PARAMETROS (ID, Descripcion, Valor)  values(?,'?','?')"),
                  {id, descripcion, valor}) > 0;
}

bool clsCodigo::Insertar_Detalle_DDJJ(double secuencia, double periodo, double agente, const QString& cbu,
                                      const QString& tipoCuenta, const QString& moneda, double cuit, double depositos,
                                      double baseImponible, double retenido)
{
    return change(QStringLiteral("Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, "
                                 "C_Tipo_Cuenta, C_Tipo_Moneda, N_Cuit, N_Depositos, I_Base_Imponible, I_Retenido, "
                                 "F_Auditoria)  values(?, ?,?,'?', '?', '?', ?,?,?, ?, '?')"),
                  // A number fills its placeholder with the same text as its text would: an import writes
                  // this line after line, so the text is not made twice.
                  {secuencia, periodo, agente, cbu, tipoCuenta, moneda, cuit, depositos, baseImponible, retenido,
                   Clock::today()}) > 0;
}

bool clsCodigo::Insertar_DDJJ(double secuencia, double periodo, const QString& fechaVto)
{
    return change(QStringLiteral("Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado)  "
                                 "values('?', ?, '?', 'N')"),
                  {periodo, secuencia, fechaVto}) > 0;
}

bool clsCodigo::Insertar_AR03(double periodo, double semana, const QString& fechaPago, double importe,
                              const QString& moneda)
{
    return change(QStringLiteral("Insert Into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda)  "
                                 "values(?,?,'?',?, '?')"),
                  {periodo, semana, fechaPago, textOf(importe), moneda}) > 0;
}

bool clsCodigo::Modificar_Parametro(double id, const QString& valor)
{
    return change(QStringLiteral("Update PARAMETROS Set Valor = '?'  Where ID = ?"), {valor, id}) > 0;
}

bool clsCodigo::Modificar_AR03(double id, double numero)
{
    return change(QStringLiteral("Update AR03 Set Numero = ?  Where ID = ?"), {numero, id}) > 0;
}

bool clsCodigo::Eliminar_Detalle_DDJJ(double secuencia, double periodo, const QString& cbu, double cuit)
{
    return change(QStringLiteral("Delete from DDJJ_Detalle  Where N_POSICION_FISCAL = ? AND N_CBU = '?' "
                                 " AND N_CUIT = ? AND SECUENCIA = ? "),
                  {periodo, cbu.trimmed(), textOf(cuit), secuencia}) > 0;
}

bool clsCodigo::Eliminar_DDJJ(double secuencia, double periodo)
{
    // Both statements or neither: a declaration must never lose its lines and stay marked generated.
    const auto transaction = beginTransaction();
    if (!transaction)
        return false;
    if (change(QStringLiteral("Delete from DDJJ_Detalle  Where N_POSICION_FISCAL = ? and SECUENCIA = ? "),
               {periodo, secuencia}) < 0)
        return false;
    if (change(QStringLiteral("Update DDJJ Set Generado = 'N', Fecha_Pres = Null "
                              " Where POSICION_FISCAL = '?' and SECUENCIA = ? "),
               {periodo, secuencia}) < 0)
        return false;
    try {
        transaction->commit();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool clsCodigo::Eliminar_AR03(double id)
{
    return change(QStringLiteral("Delete from AR03  Where Id = ? "), {id}) >= 0;
}

bool clsCodigo::Modificar_Detalle_DDJJ(double secuencia, double periodo, const QString& cbuAnterior,
                                       double cuitAnterior, const QString& cbu, const QString& tipoCuenta,
                                       const QString& moneda, double cuit, double depositos, double baseImponible,
                                       double retenido)
{
    return change(QStringLiteral("Update DDJJ_Detalle Set N_CBU = '?',  C_TIPO_CUENTA = '?', C_TIPO_MONEDA = '?', "
                                 " N_CUIT = ?, N_DEPOSITOS = ?,  I_BASE_IMPONIBLE = ?, I_RETENIDO = ? "
                                 " Where N_POSICION_FISCAL = ? and Secuencia = ? AND N_CBU = '?' "
                                 " AND N_CUIT = ? and N_COMPROBANTE IS NULL  AND F_PRESENTACION IS NULL "),
                  {cbu.trimmed(), tipoCuenta, moneda, textOf(cuit), depositos, textOf(baseImponible), textOf(retenido),
                   periodo, secuencia, cbuAnterior, textOf(cuitAnterior)}) > 0;
}

bool clsCodigo::Modificar_Detalle_Disk(double secuencia, double periodo, double comprobante, double cuit,
                                       const QString& cbu, const QString& hoja)
{
    return change(QStringLiteral("Update DDJJ_Detalle Set  F_PRESENTACION = DATE(),  N_COMPROBANTE = ?, Hoja = '?' "
                                 " Where SECUENCIA = ? AND N_POSICION_FISCAL = ?  and N_CBU = '?' AND N_CUIT = ? "
                                 " AND N_COMPROBANTE IS NULL  AND F_PRESENTACION IS NULL "),
                  {comprobante, hoja, secuencia, periodo, cbu.trimmed(), textOf(cuit)}) > 0;
}

bool clsCodigo::Modificar_DDJJ_Disk(double secuencia, double periodo)
{
    return change(QStringLiteral("Update DDJJ Set  GENERADO = 'S', FECHA_PRES = DATE() "
                                 " Where SECUENCIA = ? AND POSICION_FISCAL = '?' "),
                  {secuencia, periodo}) > 0;
}

// Backup copies --------------------------------------------------------------------------------------------

namespace {

// While a backup is being written, this file beside the database names its target: a program killed
// during it leaves an unfinished copy there, which the next start removes.
QString backupMarkerPath(const QString& databasePath)
{
    return databasePath + u".copia~"_s;
}

QString keptPathOf(const QString& databasePath)
{
    return databasePath + u".anterior"_s;
}

} // namespace

bool clsCodigo::saveBackup(const QString& destino, const BackupProgress& avance)
{
    try {
        db::Database& database = connection();
        QFile marker(backupMarkerPath(database.path()));
        if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            marker.write(destino.toUtf8());
            marker.close();
        }
        const auto removeMarker = qScopeGuard([&marker] { marker.remove(); });
        return database.backupTo(destino, Schema::tableNames(), avance);
    } catch (const std::exception&) {
        return false;
    }
}

void clsCodigo::removeLeftovers()
{
    try {
        const QString path = connection().path();
        QFile marker(backupMarkerPath(path));
        if (marker.open(QIODevice::ReadOnly)) {
            db::Database::removeUnfinishedCopy(QString::fromUtf8(marker.readAll()));
            marker.close();
            marker.remove();
        }
        db::Database::removeRestoreLeftovers(path);
        db::Database::removeUnfinishedCopy(keptPathOf(path));
    } catch (const std::exception&) {
    }
}

std::optional<clsCodigo::BackupContents> clsCodigo::checkBackup(const QString& origen)
{
    try {
        const auto copy = connection().openCopy(origen, Schema::tableNames());
        BackupContents contenido;
        const auto periods = copy->openRecordset(u"Select Min(Posicion_Fiscal) As Desde, Max(Posicion_Fiscal) As "
                                                 u"Hasta, Count(*) As Cantidad From DDJJ"_s);
        contenido.desde = periods->field(u"Desde").toString();
        contenido.hasta = periods->field(u"Hasta").toString();
        contenido.declaraciones = static_cast<long>(periods->field(u"Cantidad").toDouble());
        const auto payments = copy->openRecordset(u"Select Count(*) As Cantidad From AR03"_s);
        contenido.pagos = static_cast<long>(payments->field(u"Cantidad").toDouble());
        return contenido;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool clsCodigo::restoreBackup(const QString& origen)
{
    bool restored = true;
    try {
        db::Database::restoreCurrent(origen, keptPathOf(connection().path()), Schema::tableNames());
        (void)Schema::addMissingIndexes(connection());
    } catch (const std::exception&) {
        restored = false;
    }
    // Whether the copy or the earlier file is connected now, the identity is read from what is there.
    loadAgent();
    return restored;
}

void clsCodigo::loadAgent()
{
    Par_CUIT = parameterValue(1, QString());
    Par_Denomin = parameterValue(2, QString());
    // A stored agent number that is not a number counts as none, so the menu asks for the registration.
    Par_Agente = Regional::parseNumber(parameterValue(3, u"0"_s)).value_or(0);
}
