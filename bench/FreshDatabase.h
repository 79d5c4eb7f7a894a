#pragma once

#include "data/Schema.h"
#include "platform/db/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

/// A new encrypted database with the program's tables, opened as the program opens it.
inline std::unique_ptr<db::Database> freshDatabase(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    {
        auto created = db::Database::create(path, QStringLiteral("ferlon"));
        Schema::create(*created);
    }
    return db::Database::open(path, QStringLiteral(";pwd=ferlon"));
}
