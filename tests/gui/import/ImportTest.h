#pragma once

#include "support/Printers.h"
#include "support/TempDatabase.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/Ui.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// The fields of one interface line, a good line unless a test changes some.
struct Fields
{
    QByteArray cuit = "20123456786";
    QByteArray cbu = "0170001540000001234567";
    QByteArray year = "1999"; // differs from the declaration's period on purpose: it is only validated
    QByteArray month = "12";
    QByteArray moneda = "01";
    QByteArray signoBase = "+";
    QByteArray base = "00000001234.50";
    QByteArray signoRetenido = "+";
    QByteArray retenido = "00000000012.30";
    QByteArray depositos = "000000003";

    /// The 80-byte record; each field is padded or cut to its width.
    [[nodiscard]] QByteArray line() const
    {
        const auto fit = [](QByteArray value, qsizetype width) {
            return value.leftJustified(width, ' ', true);
        };
        return fit(cuit, 11) + fit(cbu, 22) + fit(year, 4) + fit(month, 2) + fit(moneda, 2) + fit(signoBase, 1) +
               fit(base, 14) + fit(signoRetenido, 1) + fit(retenido, 14) + fit(depositos, 9);
    }
};

/// A fresh database, a scripted operator, a fixed date, a registered agent and a program
/// directory of its own for each import test.
class ImportTest : public ::testing::Test
{
protected:
    ImportTest() : m_ui(ui::ScriptedUi::install())
    {
        Clock::fix(QDate(2002, 10, 1));
        ProgramDirectory::override(m_db.dir());
        clsCodigo::instance().Par_Agente = 1234;
    }

    ~ImportTest() override
    {
        EXPECT_TRUE(m_ui.unansweredQuestions().isEmpty());
        EXPECT_FALSE(m_ui.isBusy()) << "the pointer is back to normal";
        clsCodigo::instance().Par_Agente = 0;
        ui::Ui::install(nullptr);
        ProgramDirectory::release();
        Clock::release();
    }

    /// Writes a file (by default the interface file) with exactly these bytes and gives its path.
    QString writeFile(const QByteArray& bytes, const QString& path = {})
    {
        const QString target = path.isEmpty() ? m_files.filePath(QStringLiteral("interfase.txt")) : path;
        QFile file(target);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return target;
    }

    [[nodiscard]] QString errorFilePath() const { return ProgramDirectory::filePath(QStringLiteral("Errores.txt")); }

    /// The error file as UTF-8 text; a null string when it does not exist.
    [[nodiscard]] QString errorFile() const
    {
        QFile file(errorFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    int detailCount(const QString& where = {}) { return m_db.count(QStringLiteral("DDJJ_Detalle"), where); }

    TempDatabase m_db;
    QTemporaryDir m_files;
    ui::ScriptedUi& m_ui;
};
