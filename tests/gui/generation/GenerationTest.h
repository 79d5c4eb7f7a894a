#pragma once

#include "support/TempDatabase.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/ui/ScriptedUi.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

/// A fresh database with the declaration of 200209 (sequence 1, open) and a registered agent, a scripted
/// operator, a fixed date, the program's directory in a temporary folder holding the AR04 report files,
/// and a recording report engine.
class GenerationTest : public ::testing::Test
{
protected:
    static constexpr double periodo = 200209;
    static constexpr double secuencia = 1;

    GenerationTest();
    ~GenerationTest() override;

    /// Adds n detail lines to the declaration; line i (from 1) has CBU i written with 22 digits, so the
    /// lines sort in the order they were added, CUIT 20000000000 + i, base 1000 + i, withheld i / 2 and
    /// i deposits, in pesos.
    void addLines(int n, double secuenciaDeLineas = secuencia);
    /// Adds a payment of the period with its AR03 number; returns its Id.
    int addPayment(double importe, const QString& fechaPago, double numero);

    [[nodiscard]] static QString cbu(int i) { return QStringLiteral("%1").arg(i, 22, 10, QLatin1Char('0')); }
    /// The total withheld by addLines(n).
    [[nodiscard]] static double withheld(int n) { return n * (n + 1) / 4.0; }

    void execute(const QString& sql) { m_db.db().execute(sql); }

    TempDatabase m_db;
    ui::ScriptedUi& m_ui;
    report::RecordingReportEngine* m_engine = nullptr;
    const QDate m_today{2002, 10, 15};
};
