#pragma once

#include "platform/db/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>

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
    /// Opens the shared connection afresh: what it reads from then on is what the file holds.
    void reconnect();

    /// Runs the work while another program reads the file, as a database browser does: it holds a read
    /// transaction, so no commit can write the file. Lock waits fail at once meanwhile.
    void whileOtherProgramReads(const std::function<void()>& work) const;

private:
    QTemporaryDir m_dir;
};
