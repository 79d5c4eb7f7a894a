#include "ImportTest.h"

#include "screens/import/DetailImporter.h"

#include <QStringList>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class DetailImporterTest : public ImportTest
{
protected:
    /// Good lines with the CBUs 1 to count, one per line, LF ends.
    static QByteArray goodLines(int count)
    {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i) {
            Fields fields;
            fields.cbu = QByteArray::number(i);
            bytes += fields.line() + "\n";
        }
        return bytes;
    }

    DetailImporter importer(const QByteArray& bytes)
    {
        DetailImporter importer(writeFile(bytes), 200209, 1);
        importer.setErrorSink([this](const QString& line) { m_errors.append(line); });
        return importer;
    }

    QStringList m_errors;
};

} // namespace

TEST_F(DetailImporterTest, CommitsEveryGroupSoThatOnlyTheLastCanBeLost)
{
    // A second connection, as the program would find the file after a crash, sees only committed groups.
    auto other = db::Database::open(m_db.path(), u";pwd=ferlon"_s);
    const auto committed = [&] {
        return static_cast<int>(other->openRecordset(u"select count(*) from DDJJ_Detalle"_s)->field(0).toDouble());
    };
    std::vector<std::pair<QString, int>> seen;

    DetailImporter run = importer(goodLines(3) + "bad\n" + goodLines(7).mid(3 * 81) + "bad\n");
    run.setGroupSize(3);
    run.setErrorSink([&](const QString& line) { seen.emplace_back(line.left(21), committed()); });
    const DetailImporter::Result result = run.run();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].second, 3) << "the first group was committed when its third line went in";
    EXPECT_EQ(seen[1].second, 6) << "the fourth line is still in an open group";
    EXPECT_EQ(committed(), 7) << "everything counted as imported is in the database at the end";
    EXPECT_EQ(result.lines, 9);
    EXPECT_EQ(result.imported, 7);
    EXPECT_EQ(result.rejected, 2);
    EXPECT_TRUE(result.errors());
}

TEST_F(DetailImporterTest, ReportsEveryLineOfAGroupTheEngineDropped)
{
    // RAISE(ROLLBACK) makes the engine drop the whole transaction, as a full disk would.
    m_db.db().executeScript(u"CREATE TRIGGER perdida BEFORE INSERT ON DDJJ_Detalle WHEN NEW.N_CBU = '5' "
                            u"BEGIN SELECT RAISE(ROLLBACK, 'perdida'); END;"_s);
    DetailImporter run = importer(goodLines(8));
    run.setGroupSize(3);
    const DetailImporter::Result result = run.run();

    EXPECT_EQ(m_errors, QStringList({u"Error al insertar detalle de la linea: 4"_s,
                                     u"Error al insertar detalle de la linea: 5"_s}));
    EXPECT_EQ(detailCount(), 6);
    EXPECT_EQ(detailCount(u"where N_CBU in ('4', '5')"_s), 0);
    EXPECT_EQ(result.imported, 6);
    EXPECT_EQ(result.rejected, 2);
}

TEST_F(DetailImporterTest, FindsDuplicatesAcrossGroupsAndWithoutAConnection)
{
    DetailImporter run = importer(goodLines(4) + goodLines(4));
    run.setGroupSize(2);
    EXPECT_EQ(run.run().imported, 4);
    EXPECT_EQ(m_errors.size(), 4);
    EXPECT_EQ(m_errors.last(), u"Error en la linea: 8. Ya existen detalles con el CUIT-CBU especificados."_s);

    // With no database every good line fails to go in, and nothing breaks.
    m_errors.clear();
    TempDatabase::disconnect();
    const DetailImporter::Result result = importer(goodLines(2)).run();
    EXPECT_EQ(m_errors, QStringList({u"Error al insertar detalle de la linea: 1"_s,
                                     u"Error al insertar detalle de la linea: 2"_s}));
    EXPECT_EQ(result.imported, 0);
}

TEST_F(DetailImporterTest, TellsADuplicateFromAFailedInsertWhenTheCountWasSkipped)
{
    // Into an empty declaration the count is skipped for pairs this import has not inserted. A line that
    // another writer put in meanwhile (here a trigger, when CBU 1 goes in) is still reported as a duplicate.
    m_db.db().executeScript(u"CREATE TRIGGER otro AFTER INSERT ON DDJJ_Detalle WHEN NEW.N_CBU = '1' BEGIN "
                            u"INSERT INTO DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU, N_Cuit) "
                            u"VALUES (1, 200209, '2', 20123456786); END;"_s);
    const DetailImporter::Result result = importer(goodLines(3)).run();
    EXPECT_EQ(m_errors, QStringList({u"Error en la linea: 2. Ya existen detalles con el CUIT-CBU especificados."_s}));
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(detailCount(), 3);
}

TEST_F(DetailImporterTest, ReportsProgressByBytesUpToTheFileSize)
{
    const QByteArray bytes = "\xEF\xBB\xBF" + goodLines(600);
    std::vector<std::pair<qint64, qint64>> reports;
    DetailImporter run = importer(bytes);
    run.setProgressCallback([&](qint64 read, qint64 total) { reports.emplace_back(read, total); });
    EXPECT_EQ(run.run().imported, 600) << "a UTF-8 byte-order mark does not shift the first line";
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], std::make_pair(qint64(3 + 256 * 81), qint64(bytes.size())));
    EXPECT_EQ(reports[1].first, 3 + 512 * 81);
    EXPECT_EQ(reports[2], std::make_pair(qint64(bytes.size()), qint64(bytes.size())));
}

TEST_F(DetailImporterTest, ReadsLinesLongerThanItsBuffer)
{
    constexpr int bufferBytes = 64 * 1024;
    // A line far longer than one read of the file.
    const DetailImporter::Result longLine = importer(Fields().line() + QByteArray(5 * bufferBytes, 'Z') + "\r\n").run();
    EXPECT_EQ(longLine.lines, 1);
    EXPECT_EQ(longLine.imported, 1);

    // A CR that ends one read and the LF that starts the next are one line end.
    Fields first;
    first.cbu = "1";
    Fields second;
    second.cbu = "2";
    const QByteArray split = first.line() + QByteArray(bufferBytes - 80 - 1, 'Z') + "\r\n" + second.line() + "\r";
    ASSERT_EQ(split.at(bufferBytes - 1), '\r');
    const DetailImporter::Result result = importer(split).run();
    EXPECT_EQ(result.lines, 2);
    EXPECT_EQ(result.imported, 2);
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(DetailImporterTest, AFileThatCannotBeOpenedDoesNothing)
{
    const DetailImporter::Result result = DetailImporter(m_files.filePath(u"falta.txt"_s), 200209, 1).run();
    EXPECT_FALSE(result.opened);
    EXPECT_FALSE(result.errors());
}
