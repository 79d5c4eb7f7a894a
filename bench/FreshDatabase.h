#pragma once

#include "data/Schema.h"
#include "platform/db/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

#ifndef BENCH_LINES
#define BENCH_LINES 100000
#endif

/// How many lines a benchmark works on: 100 000 unless the build sets BENCH_LINES.
inline constexpr int benchLines = BENCH_LINES;

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
