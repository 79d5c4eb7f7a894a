#pragma once

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace db {
class Database;
class Transaction;
class Value;
} // namespace db

/// The data-access class: every read and write of the program goes through one of its operations, each a
/// fixed SQL template and its values, which the database fills as Armar_Sql would. Operations catch their own
/// errors and return their failure value silently: no recordset, false or 0. One instance serves the whole
/// program and also carries the registered agent's identity.
class clsCodigo
{
public:
    using RecordsetPtr = std::unique_ptr<db::Recordset>;

    /// The shared instance, created on first use.
    [[nodiscard]] static clsCodigo& instance();

    // The agent's identity: filled at start-up and after a registration.
    double Par_Agente = 0;
    QString Par_CUIT;
    QString Par_Denomin;

    // Queries returning an open recordset (no recordset on failure).
    [[nodiscard]] RecordsetPtr Get_DDJJs(const QString& orden);
    [[nodiscard]] RecordsetPtr Get_AR03s(const QString& orden);
    [[nodiscard]] RecordsetPtr Get_Detalle_DDJJs(const QString& orden, double periodo, double secuencia);
    [[nodiscard]] RecordsetPtr Get_Detalle_DDJJs_Disk(double periodo, double secuencia, double comprobante);
    [[nodiscard]] RecordsetPtr Get_Detalle_Replica(double periodo, double secuencia);
    [[nodiscard]] RecordsetPtr Get_Detalle_DDJJs_Disk_1(double periodo, double secuencia);
    [[nodiscard]] RecordsetPtr Get_Detalle_DDJJ(double secuencia, double periodo, double cuit, const QString& cbu);
    [[nodiscard]] RecordsetPtr Get_Parametro(double id);
    [[nodiscard]] RecordsetPtr Get_Comprobantes(double periodo, double secuencia);

    // Counts and single values (0 or false on failure or an empty result).
    [[nodiscard]] bool Existen_AR03s();
    [[nodiscard]] double Existen_AR03s_77(const QString& periodo);
    [[nodiscard]] bool Existen_AR04s();
    [[nodiscard]] double Get_secuencia(double periodo);
    [[nodiscard]] double Get_Comprobante(double periodo, double secuencia);
    [[nodiscard]] long Existe_Parametro(double id);
    [[nodiscard]] long Existe_Detalle_DDJJ(double secuencia, double periodo, const QString& cbu, double cuit);
    [[nodiscard]] long Existe_Detalle(double secuencia, double periodo);

    // Changes: true when a row was affected (unless noted), false on failure.
    bool Insertar_Parametro(double id, const QString& descripcion, const QString& valor);
    bool Insertar_Detalle_DDJJ(double secuencia, double periodo, double agente, const QString& cbu,
                               const QString& tipoCuenta, const QString& moneda, double cuit, double depositos,
                               double baseImponible, double retenido);
    bool Insertar_DDJJ(double secuencia, double periodo, const QString& fechaVto);
    bool Insertar_AR03(double periodo, double semana, const QString& fechaPago, double importe, const QString& moneda);
    bool Modificar_Parametro(double id, const QString& valor);
    bool Modificar_AR03(double id, double numero);
    bool Eliminar_Detalle_DDJJ(double secuencia, double periodo, const QString& cbu, double cuit);
    /// Empties a declaration and opens it again, both or neither. True once both statements ran.
    bool Eliminar_DDJJ(double secuencia, double periodo);
    /// True once the statement ran, whatever it deleted.
    bool Eliminar_AR03(double id);
    /// Changes a pending line only; a generated line is never changed.
    bool Modificar_Detalle_DDJJ(double secuencia, double periodo, const QString& cbuAnterior, double cuitAnterior,
                                const QString& cbu, const QString& tipoCuenta, const QString& moneda, double cuit,
                                double depositos, double baseImponible, double retenido);
    /// Marks one pending line as generated, with voucher, sheet and today's date.
    bool Modificar_Detalle_Disk(double secuencia, double periodo, double comprobante, double cuit, const QString& cbu,
                                const QString& hoja);
    bool Modificar_DDJJ_Disk(double secuencia, double periodo);

    // Report operations. They drive the report engine, so they are defined with the reports
    // (src/reports) and linked into the program's windows library, not into the core.
    /// First printing of a payment's AR03 form: numbers the payment and previews the form.
    bool Reporte_AR03(double id);
    /// Reprint of a payment's AR03 form with the number it already has.
    bool Reimpresion_AR03(double id);
    /// First printing of a declaration's AR04 form: numbers its sheets, stamps every pending line with the
    /// voucher number, its sheet and today's date, advances the voucher counter and marks the declaration
    /// generated, all or nothing, and previews each sheet.
    bool Reporte_AR04(double periodo, double secuencia);
    /// One detail sheet of a long AR04 (more than 16 lines) at its first printing: the pending lines from
    /// the first, 41 to a sheet.
    bool Reporte_AR04_Primero(double periodo, double secuencia, int hoja, int total, const QString& comprobante);
    /// Reprint of one detail sheet of a long AR04: the lines stamped with the sheet value, shown as sheet k.
    bool Reporte_AR04_Primero_2(double periodo, double secuencia, int hoja, int total, const QString& comprobante,
                                const QString& valorHoja);
    /// Reprint of a short AR04 (16 lines at most) sheet; the last one carries the totals and the payments.
    bool Reimpresion_AR04(double periodo, double secuencia, bool ultima, int hoja, int total,
                          const QString& comprobante, const QString& valorHoja);
    /// Reprint of the payments sheet of a long AR04, after its hojas detail sheets.
    bool Reimpresion_AR04_2(double periodo, double secuencia, int hojas, int total, const QString& comprobante);

    // Backup copies of the whole database file.
    /// What a copy holds, as the question before restoring it names it.
    struct BackupContents
    {
        QString desde; ///< the first period of its declarations (yyyymm), "" when it has none
        QString hasta; ///< the last one
        long declaraciones = 0;
        long pagos = 0;
    };
    /// Reports a copy's progress (pages copied, total); returns false to cancel.
    using BackupProgress = std::function<bool(int copiadas, int total)>;
    /// Writes a copy of the database at `destino` while staying connected, then opens the copy and checks
    /// it whole. False when it failed or was cancelled; then no file is left at `destino` (an earlier file
    /// of that name stays as it was).
    bool saveBackup(const QString& destino, const BackupProgress& avance);
    /// Opens a copy offered for restoring and checks it whole (the program's password and tables, no
    /// damaged page); what it holds, or nothing when it is not a sound copy of the program's database.
    [[nodiscard]] std::optional<BackupContents> checkBackup(const QString& origen);
    /// Puts a copy in place of the database: the current file is kept as "ferlon.mdb.anterior" beside it,
    /// the connection is opened again on the copy and the agent's identity read again. False when the
    /// copy was refused or could not be put in place; then the database is the one there was before.
    bool restoreBackup(const QString& origen);
    /// Removes what a backup or a restore cut short by a killed program left behind: the unfinished copy
    /// where the backup was being written, and the restore's and the kept file's work files.
    void removeLeftovers();
    /// Reads the agent's identity (CUIT, business name, agent number) from the parameters.
    void loadAgent();

    /// True when the database itself refuses a detail line that Existe_Detalle_DDJJ would count as a
    /// duplicate: a unique index over all the lines whose columns are all among the four of the count
    /// (period, sequence, CBU, CUIT). Then an insert of a repeated pair fails, and the count only has to
    /// tell a refused duplicate from another failure. False when it cannot be told.
    [[nodiscard]] bool detailKeyIsUnique();

    /// What made the latest failed operation fail: a refused statement, another program's lock, a full
    /// disk or the disk itself. Only meaningful right after an operation returned its failure value.
    [[nodiscard]] db::Failure lastFailure() const { return m_lastFailure; }

    /// Starts a unit of work on the shared connection (nests); none when no connection is open.
    /// Work done through the operations above while it lives is kept only if it is committed.
    [[nodiscard]] std::unique_ptr<db::Transaction> beginTransaction();
    /// Keeps the work of a unit of work; false, with nothing of it kept, when the engine could not.
    [[nodiscard]] static bool commit(db::Transaction& transaction);

private:
    clsCodigo() = default;

    void noteFailure(const std::exception& error);
    db::Failure m_lastFailure = db::Failure::Other;

    [[nodiscard]] RecordsetPtr query(const QString& sqlTemplate, std::vector<db::Value> values);
    [[nodiscard]] std::optional<db::Value> firstValue(const QString& sqlTemplate, std::vector<db::Value> values,
                                                      QStringView field);
    [[nodiscard]] double firstNumber(const QString& sqlTemplate, std::vector<db::Value> values, QStringView field);
    /// Rows affected, or -1 when the statement failed.
    [[nodiscard]] int change(const QString& sqlTemplate, std::vector<db::Value> values);
};
