#pragma once

#include "support/ScreenFixture.h"

#include "platform/ProgramDirectory.h"
#include "screens/import/DetailImporter.h"
#include "screens/import/Importacion_DDJJ.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

/// The fields of one interface line, a good line unless a test changes some. The year differs from
/// the declaration's period on purpose: it is only validated.
struct Fields
{
    QByteArray cuit = "20123456786", cbu = "0170001540000001234567", year = "1999", month = "12", moneda = "01";
    QByteArray signoBase = "+", base = "00000001234.50", signoRetenido = "+", retenido = "00000000012.30";
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

/// A screen test with a registered agent (1234), a folder for the interface files, and the import
/// into period 200209, sequence 1, through the screen or the importer alone.
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

    [[nodiscard]] static QString errorPath() { return ProgramDirectory::filePath(QStringLiteral("Errores.txt")); }
    [[nodiscard]] static QString errorFile()
    {
        QFile file(errorPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    int detailCount(const QString& where = {}) { return m_db.count(QStringLiteral("DDJJ_Detalle"), where); }

    std::unique_ptr<Importacion_DDJJ> open()
    {
        auto screen = std::make_unique<Importacion_DDJJ>();
        screen->Posicion = QStringLiteral("200209");
        screen->Secuencia = 1;
        screen->Form_Load();
        activate(*screen);
        return screen;
    }

    static void importPath(Importacion_DDJJ& screen, const QString& path)
    {
        child<QLineEdit>(screen, QStringLiteral("TxtPath"))->setText(path);
        click(screen, QStringLiteral("bAceptar"));
    }

    /// Imports these bytes through the screen, which must run to its end; gives the error file's text.
    QString import(const QByteArray& bytes)
    {
        auto screen = open();
        m_ui.clearMessages();
        importPath(*screen, writeFile(bytes));
        EXPECT_EQ(screen->result(), QDialog::Accepted);
        return errorFile();
    }

    /// Good lines with the CBUs first to last, LF ends.
    static QByteArray goodLines(int last, int first = 1)
    {
        QByteArray bytes;
        for (int i = first; i <= last; ++i)
            bytes += Fields{.cbu = QByteArray::number(i)}.line() + "\n";
        return bytes;
    }

    /// The importer alone, its error lines collected in m_errors.
    DetailImporter importer(const QByteArray& bytes, int groupSize = DetailImporter::defaultGroupSize)
    {
        DetailImporter importer(writeFile(bytes), 200209, 1);
        importer.setErrorSink([this](const QString& line) { m_errors.append(line); });
        importer.setGroupSize(groupSize);
        return importer;
    }

    QTemporaryDir m_files;
    QStringList m_errors;
};
