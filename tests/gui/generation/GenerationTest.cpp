#include "GenerationTest.h"

#include "data/Regional.h"
#include "platform/cipher/Cipher.h"
#include "platform/reportengine/ReportEngine.h"
#include "platform/ui/Ui.h"

#include <QFile>

#include <memory>

using namespace Qt::StringLiterals;

GenerationTest::GenerationTest() : m_ui(ui::ScriptedUi::install())
{
    Clock::fix(m_today);
    ProgramDirectory::override(m_db.dir());
    for (const QString& name : {u"AR04.rpt"_s, u"AR04_primera.rpt"_s, u"AR04_Pagos.rpt"_s})
        QFile::copy(QDir(QStringLiteral(TOLBRANE_RESOURCES_DIR)).filePath(name), QDir(m_db.dir()).filePath(name));
    auto engine = std::make_unique<report::RecordingReportEngine>();
    m_engine = engine.get();
    report::ReportEngine::install(std::move(engine));

    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = 1234;
    codigo.Par_CUIT = u"30-50001091-2"_s;
    codigo.Par_Denomin = u"Banco de la Provincia S.A."_s;
    execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) values ('200209', 1, "
            u"'10/10/2002', 'N')"_s);
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (5, 'Nro AR04', '27')"_s);
}

GenerationTest::~GenerationTest()
{
    EXPECT_TRUE(m_ui.unansweredQuestions().isEmpty());
    EXPECT_FALSE(m_ui.isBusy()) << "the pointer is back to normal";
    report::ReportEngine::install(nullptr);
    ui::Ui::install(nullptr);
    ProgramDirectory::release();
    Clock::release();
}

void GenerationTest::addLines(int n, double secuenciaDeLineas)
{
    clsCodigo& codigo = clsCodigo::instance();
    const auto transaction = codigo.beginTransaction();
    for (int i = 1; i <= n; ++i) {
        ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(secuenciaDeLineas, periodo, 1234, cbu(i), u"01"_s, u"01"_s,
                                                 20000000000.0 + i, i, 1000 + i, i / 2.0));
    }
    transaction->commit();
}

void GenerationTest::addPayment(double importe, const QString& fechaPago, double numero)
{
    clsCodigo& codigo = clsCodigo::instance();
    EXPECT_TRUE(codigo.Insertar_AR03(periodo, 1, fechaPago, importe, u"01"_s));
    EXPECT_TRUE(codigo.Modificar_AR03(m_db.scalar(u"select max(Id) from AR03"_s).toDouble(), numero));
}

QString GenerationTest::withheld(int n)
{
    return Regional::format(n * (n + 1) / 4.0, u"##,##0.00"_s);
}

QStringList GenerationTest::decrypted(const QString& path)
{
    QFile file(path);
    QStringList records;
    for (const QByteArray& line : file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>()) {
        if (!line.isEmpty())
            records.append(Cipher().decrypt(QString::fromLatin1(line.chopped(1)), u"TOLBRANE"_s));
    }
    return records;
}
