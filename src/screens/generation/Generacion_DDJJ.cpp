#include "Generacion_DDJJ.h"
#include "ui_Generacion_DDJJ.h"

#include "data/clsCodigo.h"
#include "generation/DeclarationFile.h"
#include "platform/FileSystem.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStyle>

using namespace Qt::StringLiterals;
using ui::enterKey;
using ui::inform;

namespace {

const QString defaultPath = u"A:\\ddjj.txt"_s;

// Where the diagnostic decryption reads and writes: the root of drive C where there is one,
// the program's directory elsewhere.
QString diagnosticPath(const QString& name)
{
#ifdef Q_OS_WIN
    return u"c:\\"_s + name;
#else
    return ProgramDirectory::filePath(name);
#endif
}

} // namespace

Generacion_DDJJ::Generacion_DDJJ(bool& cancelado, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Generacion_DDJJ>()), m_cancelado(cancelado)
{
    m_ui->setupUi(this);
    // The window repaints while the file is written, but takes no click or key until it is done: nothing on
    // it can start, stop or close anything meanwhile.
    m_progress = ui::ProgressPacer(m_ui->pbProgreso, QEventLoop::ExcludeUserInputEvents);
    m_ui->bBuscar->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_ui->bAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->bVolver->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_ui->Command1->hide();

    connect(m_ui->bBuscar, &QPushButton::clicked, this, &Generacion_DDJJ::bBuscar_Click);
    connect(m_ui->bAceptar, &QPushButton::clicked, this, &Generacion_DDJJ::bAceptar_Click);
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &Generacion_DDJJ::bCancelar_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Generacion_DDJJ::bVolver_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Generacion_DDJJ::Command1_Click);
    ui::KeyFilter::onKeyPress(m_ui->TxtPath, [this](int& key) { txtPath_KeyPress(key); });

    Form_Load();
}

Generacion_DDJJ::~Generacion_DDJJ() = default;

void Generacion_DDJJ::Form_Load()
{
    m_ui->TxtPath->setText(defaultPath);
    m_cancelado = true;
}

void Generacion_DDJJ::txtPath_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->bAceptar->setFocus();
    }
}

void Generacion_DDJJ::bBuscar_Click()
{
    // A save dialog, so that the operator can name a file that does not exist yet.
    const QString chosen = ui::Ui::current().saveFileName(this, u"Archivo para la Generación del Detalle de DDJJ"_s,
                                                          QString(), u"Todos los archivos (*.txt)"_s, u"txt"_s);
    // A dialog closed without choosing keeps the path already typed.
    if (!chosen.isEmpty())
        m_ui->TxtPath->setText(QDir::toNativeSeparators(chosen));
}

void Generacion_DDJJ::bAceptar_Click()
{
    const ui::BusyCursor busy;
    const QString openFailed = u"No se ha podido abrir el archivo especificado."_s;
    // A failed attempt leaves the bar empty for the next one.
    QProgressBar& bar = *m_ui->pbProgreso;
    auto emptyBar = qScopeGuard([&bar] { bar.setValue(0); });

    // The records go to a temporary file beside the target, which replaces the target only once every
    // record is written: a failed attempt never leaves a half-written or mixed file behind.
    const QString path = m_ui->TxtPath->text().trimmed();
    QSaveFile file(path);
    if (path.isEmpty() || FileSystem::namesMissingDrive(path) || !file.open(QIODevice::WriteOnly))
        return inform(openFailed);

    bool periodOk = false;
    bool sequenceOk = false;
    const double periodo = Posicion.trimmed().toDouble(&periodOk);
    const double secuencia = Secuencia.trimmed().toDouble(&sequenceOk);
    clsCodigo& codigo = clsCodigo::instance();
    clsCodigo::RecordsetPtr lines;
    if (periodOk && sequenceOk)
        lines = Comp == 0 ? codigo.Get_Detalle_DDJJs_Disk_1(periodo, secuencia)
                          : codigo.Get_Detalle_DDJJs_Disk(periodo, secuencia, Comp);
    if (!lines)
        return inform(u"Error en la obtención de los datos a generar."_s);

    std::unique_ptr<QIODevice> filtered = m_outputFilter ? m_outputFilter(file) : nullptr;
    QIODevice& out = filtered ? *filtered : file;

    // Writing the records fills the first half of the bar, reading them back the second. The declaration's
    // line count measures the first half: a first generation writes those of them still pending.
    const qint64 expected = codigo.Existe_Detalle(secuencia, periodo);
    m_progress.start();
    DeclarationFile declaration;
    const auto writing = [this, expected](qint64 records) {
        m_progress.step(records, 2 * expected);
    };
    switch (declaration.write(*lines, Posicion.trimmed(), out, writing)) {
    case DeclarationFile::Outcome::Written:
        break;
    case DeclarationFile::Outcome::BadData:
        return inform(u"Error en alguno de los datos que se obtuvieron para generar."_s);
    case DeclarationFile::Outcome::EncryptionFailed:
        return inform(u"Error en la encriptación del archivo."_s);
    case DeclarationFile::Outcome::WriteFailed:
        return inform(openFailed);
    }
    lines.reset();
    filtered.reset();
    const qint64 written = declaration.recordsWritten();
    const auto checking = [this, written](qint64 records) {
        m_progress.step(written + records, 2 * written);
    };
    if (!replaceAndReadBack(file, path, declaration, checking))
        return inform(openFailed);

    emptyBar.dismiss();
    bar.setValue(bar.maximum());
    m_cancelado = false;
    accept();
}

bool Generacion_DDJJ::replaceAndReadBack(QSaveFile& file, const QString& path, const DeclarationFile& declaration,
                                         const DeclarationFile::Progress& progress)
{
    // The earlier file steps aside until the new one has been read back from the medium: a diskette or
    // stick that lost bytes gives a failed write, and the earlier file is put back.
    const QString earlier = path + u".anterior~"_s;
    QFile::remove(earlier);
    const bool hadEarlier = QFile::exists(path);
    // An earlier file that cannot step aside would be lost if the new one proved bad: nothing is replaced.
    if (hadEarlier && !QFile::rename(path, earlier))
        return false;
    // What is read back comes from the medium, not from the copy the system keeps in memory.
    QFile written(path);
    const bool good = file.commit() && FileSystem::writeThroughAndForget(path) && written.open(QIODevice::ReadOnly) &&
                      declaration.matchesWritten(written, progress);
    written.close();
    if (good) {
        QFile::remove(earlier);
        return true;
    }
    QFile::remove(path);
    if (hadEarlier)
        QFile::rename(earlier, path);
    return false;
}

void Generacion_DDJJ::bCancelar_Click()
{
    reject();
}

void Generacion_DDJJ::bVolver_Click()
{
    reject();
}

void Generacion_DDJJ::Command1_Click()
{
    // Diagnostic aid, behind a hidden button: the plain records of the last file generated there.
    QFile in(diagnosticPath(u"ddjj.txt"_s));
    if (!in.open(QIODevice::ReadOnly))
        return;
    QSaveFile out(diagnosticPath(u"desencriptado.txt"_s));
    if (!out.open(QIODevice::WriteOnly))
        return;
    // A line that cannot be decrypted ends the run; the lines before it are still worth reading.
    (void)DeclarationFile::decrypt(in, out);
    out.commit();
}
