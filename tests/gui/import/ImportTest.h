#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ProgramDirectory.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

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

/// A screen test with a registered agent (1234) and a folder for the interface files.
class ImportTest : public ScreenFixture
{
protected:
    ImportTest() : ScreenFixture(QDate(2002, 10, 1)) { setRegistration(1234, {}, {}); }

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

    QTemporaryDir m_files;
};
