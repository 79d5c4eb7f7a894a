#pragma once

#include "platform/db/Database.h"

#include <QString>
#include <QTemporaryDir>

/// A fresh encrypted database with the program's tables in a temporary directory, installed as the
/// shared connection while the object lives. The password is the program's own.
class TempDatabase
{
public:
    TempDatabase();
    ~TempDatabase() { disconnect(); }

    [[nodiscard]] db::Database& db() { return *db::Database::current(); }
    [[nodiscard]] QString path() const { return m_dir.filePath(QStringLiteral("ferlon.mdb")); }
    [[nodiscard]] QString dir() const { return m_dir.path(); }

    /// Runs a query and gives the first field of its first row (null when there is no row).
    [[nodiscard]] db::Value scalar(const QString& sql);
    /// Number of rows of a table, optionally filtered ("where ...").
    [[nodiscard]] int count(const QString& table, const QString& where = {});

    /// Drops the shared connection, as a failure to connect would leave it.
    static void disconnect();

private:
    QTemporaryDir m_dir;
};
