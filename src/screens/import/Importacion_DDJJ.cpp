#include "Importacion_DDJJ.h"
#include "ui_Importacion_DDJJ.h"

#include "import/DetailImporter.h"
#include "import/Existe_Archivo.h"
#include "platform/ProgramDirectory.h"
#include "platform/db/Value.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFile>
#include <QStyle>

using namespace Qt::StringLiterals;
using ui::enterKey;

Importacion_DDJJ::Importacion_DDJJ(QString posicion, double secuencia, QWidget* parent)
    : QDialog(parent), Posicion(std::move(posicion)), Secuencia(secuencia),
      m_ui(std::make_unique<Ui::Importacion_DDJJ>())
{
    m_ui->setupUi(this);
    m_progress = ui::ProgressPacer(m_ui->pbProgreso);
    m_ui->bBuscar->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_ui->bAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->bVolver->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_ui->bVerificar->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    connect(m_ui->bBuscar, &QPushButton::clicked, this, &Importacion_DDJJ::bBuscar_Click);
    connect(m_ui->bAceptar, &QPushButton::clicked, this, &Importacion_DDJJ::bAceptar_Click);
    connect(m_ui->bVerificar, &QPushButton::clicked, this, [this] { run(true); });
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &Importacion_DDJJ::bCancelar_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Importacion_DDJJ::bVolver_Click);
    ui::KeyFilter::onKeyPress(m_ui->TxtPath, [this](int& key) {
        if (key == enterKey)
            focusNextChild();
    });

    Form_Load();
}

Importacion_DDJJ::~Importacion_DDJJ() = default;

void Importacion_DDJJ::Form_Load()
{
    m_ui->lbDeclaracion->setText(u"Posición Fiscal: <b>"_s + Posicion.trimmed().toHtmlEscaped() +
                                 u"</b>&nbsp;&nbsp;&nbsp;&nbsp;Secuencia: <b>"_s + db::Value::numberText(Secuencia) +
                                 u"</b>"_s);
    m_ui->TxtPath->clear();
    m_ui->pbProgreso->setValue(0);
    m_ui->TxtPath->setFocus();
}

void Importacion_DDJJ::reject()
{
    if (!m_importing)
        QDialog::reject();
}

void Importacion_DDJJ::bBuscar_Click()
{
    const QString chosen = ui::Ui::current().openFileName(this, u"Archivo para la Importación Detalle de DDJJ"_s,
                                                          QString(), u"Todos los archivos (*)"_s);
    // A dialog closed without choosing keeps the path already typed.
    if (!chosen.isEmpty())
        m_ui->TxtPath->setText(QDir::toNativeSeparators(chosen));
}

void Importacion_DDJJ::refuse(const QString& message)
{
    ui::Ui::current().message(message, ui::Ui::Icon::Error);
    m_ui->TxtPath->setFocus();
}

void Importacion_DDJJ::setImporting(bool importing)
{
    m_importing = importing;
    const std::initializer_list<QWidget*> controls = {m_ui->TxtPath,   m_ui->bBuscar, m_ui->bAceptar,
                                                      m_ui->bCancelar, m_ui->bVolver, m_ui->bVerificar};
    for (QWidget* control : controls)
        control->setEnabled(!importing);
}

void Importacion_DDJJ::bAceptar_Click()
{
    run(false);
}

void Importacion_DDJJ::run(bool checkOnly)
{
    if (m_importing)
        return;
    const ui::BusyCursor busy;
    const QString path = m_ui->TxtPath->text();
    if (path.trimmed().isEmpty())
        return refuse(u"Debe especificar el Archivo de Interfase"_s);
    if (!Existe_Archivo(path))
        return refuse(u"El archivo de Interfase no existe"_s);

    const QString errorPath = ProgramDirectory::dataFilePath(u"Errores.txt"_s);
    QFile errores(errorPath);
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return refuse(u"No se puede crear el archivo de errores: "_s + errorPath);

    DetailImporter importer(path, Posicion.trimmed().toDouble(), Secuencia);
    importer.setCheckOnly(checkOnly);
    // UTF-8 text; the Text mode writes the platform's line ends. Once a write fails, nothing more is
    // written: the list ends at a whole line, and the operator is told it is incomplete.
    bool errorsWritten = true;
    importer.setErrorSink([&errores, &errorsWritten](const QString& line) {
        const QByteArray bytes = line.toUtf8() + '\n';
        errorsWritten = errorsWritten && errores.write(bytes) == bytes.size();
    });
    importer.setProgressCallback(
        [this](qint64 bytesRead, qint64 totalBytes) { m_progress.step(bytesRead, totalBytes); });

    setImporting(true);
    m_progress.start();
    const DetailImporter::Result result = importer.run();
    errorsWritten = errorsWritten && errores.flush();
    errores.close();
    errorsWritten = errorsWritten && errores.error() == QFileDevice::NoError;
    setImporting(false);

    if (!result.opened)
        return refuse(u"No se puede abrir el archivo de Interfase"_s);

    m_ui->pbProgreso->setValue(m_ui->pbProgreso->maximum());
    if (checkOnly) {
        ui::inform(checkMessage(result, errorPath, errorsWritten));
        m_ui->bVerificar->setFocus();
        return;
    }
    ui::Ui::current().message(closingMessage(result, errorPath, errorsWritten),
                              result.stopped == DetailImporter::Stop::None ? ui::Ui::Icon::Information
                                                                           : ui::Ui::Icon::Error);
    accept();
}

namespace {

QString errorListText(const QString& errorPath, bool errorsWritten)
{
    return errorsWritten ? u"que están registrados en el archivo: "_s + errorPath + u"."_s
                         : u"pero no se pudo escribir su lista completa en el archivo: "_s + errorPath +
                               u". Es posible que el disco esté lleno."_s;
}

} // namespace

QString Importacion_DDJJ::checkMessage(const DetailImporter::Result& result, const QString& errorPath,
                                       bool errorsWritten)
{
    const qint64 checked = result.imported + result.rejected;
    QString text = u"La verificación ha finalizado: "_s;
    if (!result.errors())
        text += u"las %1 líneas del archivo son correctas."_s.arg(checked);
    else
        text += u"de %1 líneas, %2 son correctas y %3 tienen errores, "_s.arg(checked)
                    .arg(result.imported)
                    .arg(result.rejected) +
                errorListText(errorPath, errorsWritten);
    return text + u" No se ha modificado ningún dato."_s;
}

QString Importacion_DDJJ::closingMessage(const DetailImporter::Result& result, const QString& errorPath,
                                         bool errorsWritten)
{
    const QString errorList = errorsWritten ? u"que están registrados en el archivo: "_s + errorPath + u"."_s
                                            : u"pero no se pudo escribir su lista completa en el archivo: "_s +
                                                  errorPath + u". Es posible que el disco esté lleno."_s;
    if (result.stopped == DetailImporter::Stop::None) {
        if (!result.errors())
            return u"La importación ha finalizado con éxito."_s;
        return u"La importación ha finalizado. Se han detectado algunos errores "_s + errorList;
    }
    QString text = result.stopped == DetailImporter::Stop::DiskFull
                       ? u"La importación se ha detenido porque el disco está lleno."_s
                       : u"La importación se ha detenido porque no se pudieron guardar los detalles en la base de "
                         u"datos. Es posible que otro programa la esté utilizando."_s;
    text += u" Quedaron importadas %1 líneas; desde la línea %2 el archivo no se importó."_s.arg(result.imported)
                .arg(result.firstLineLeft);
    if (result.rejected > 0 || !errorsWritten)
        text += u" Se han detectado además algunos errores "_s + errorList;
    return text;
}

void Importacion_DDJJ::bCancelar_Click()
{
    reject();
}

void Importacion_DDJJ::bVolver_Click()
{
    reject();
}
