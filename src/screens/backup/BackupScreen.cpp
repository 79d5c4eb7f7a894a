#include "BackupScreen.h"
#include "ui_BackupScreen.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ProgressPacer.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QStyle>

using namespace Qt::StringLiterals;
using ui::inform;

namespace {

const QString copyFilter = u"Copias de seguridad (*.mdb);;Todos los archivos (*)"_s;

} // namespace

BackupScreen::BackupScreen(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::BackupScreen>())
{
    m_ui->setupUi(this);
    m_progress = ui::ProgressPacer(m_ui->pbProgreso);
    m_ui->bGuardar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->bRestaurar->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->bVolver->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    connect(m_ui->bGuardar, &QPushButton::clicked, this, &BackupScreen::bGuardar_Click);
    connect(m_ui->bRestaurar, &QPushButton::clicked, this, &BackupScreen::bRestaurar_Click);
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &BackupScreen::bCancelar_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &BackupScreen::reject);
    m_ui->bGuardar->setFocus();
}

BackupScreen::~BackupScreen() = default;

QString BackupScreen::defaultCopyPath()
{
    return QDir(ProgramDirectory::backupPath())
        .filePath(u"ferlon-"_s + Clock::today().toString(u"yyyyMMdd") + u".mdb"_s);
}

void BackupScreen::reject()
{
    if (!m_copying)
        QDialog::reject();
}

void BackupScreen::setCopying(bool copying)
{
    m_copying = copying;
    m_cancelled = false;
    for (QWidget* control : {m_ui->bGuardar, m_ui->bRestaurar, m_ui->bVolver})
        control->setEnabled(!copying);
    m_ui->bCancelar->setEnabled(copying);
    if (copying) {
        m_progress.start();
        m_ui->bCancelar->setFocus();
    }
}

bool BackupScreen::showProgress(int copied, int total)
{
    // "Cancelar" can be pressed while the bar is brought up to date.
    m_progress.step(copied, total);
    return !m_cancelled;
}

void BackupScreen::bCancelar_Click()
{
    m_cancelled = true;
}

void BackupScreen::bGuardar_Click()
{
    const QString chosen =
        ui::Ui::current().saveFileName(this, u"Guardar copia de seguridad"_s, defaultCopyPath(), copyFilter, u"mdb"_s);
    if (chosen.isEmpty())
        return;
    const QString target = QDir::toNativeSeparators(chosen);
    bool saved = false;
    bool cancelled = false;
    {
        const ui::BusyCursor busy;
        setCopying(true);
        saved = clsCodigo::instance().saveBackup(target,
                                                 [this](int copied, int total) { return showProgress(copied, total); });
        cancelled = m_cancelled;
        setCopying(false);
    }
    m_ui->pbProgreso->setValue(saved ? m_ui->pbProgreso->maximum() : 0);
    if (saved)
        inform(u"Se ha guardado la copia de seguridad correctamente en el archivo:\n"_s + target);
    else if (cancelled)
        inform(u"Se ha cancelado la copia de seguridad. No se ha guardado ningún archivo."_s);
    else
        inform(u"No se ha podido guardar la copia de seguridad en el archivo:\n"_s + target);
    m_ui->bGuardar->setFocus();
}

QString BackupScreen::restoreQuestion(const QString& path, const clsCodigo::BackupContents& contenido)
{
    const QString count = QString::number(contenido.declaraciones);
    const QString periods =
        contenido.declaraciones == 0 ? u"ninguna declaración"_s
        : contenido.desde == contenido.hasta
            ? count + u" declaraciones de la posición fiscal "_s + contenido.desde
            : count + u" declaraciones, de las posiciones fiscales "_s + contenido.desde + u" a "_s + contenido.hasta;
    return u"La copia "_s + path + u" contiene "_s + periods + u", y "_s + QString::number(contenido.pagos) +
           u" pagos AR03. ¿Está seguro de que desea reemplazar los datos actuales por los de la copia? "
           u"Los datos actuales se conservarán en el archivo ferlon.mdb.anterior."_s;
}

void BackupScreen::bRestaurar_Click()
{
    const QString chosen =
        ui::Ui::current().openFileName(this, u"Restaurar copia de seguridad"_s, defaultCopyPath(), copyFilter);
    if (chosen.isEmpty())
        return;
    const QString source = QDir::toNativeSeparators(chosen);
    clsCodigo& codigo = clsCodigo::instance();
    std::optional<clsCodigo::BackupContents> contenido;
    {
        const ui::BusyCursor busy;
        contenido = codigo.checkBackup(source);
    }
    if (!contenido) {
        inform(u"El archivo "_s + source +
               u" no es una copia de seguridad del sistema, o está dañado. No se ha modificado ningún dato."_s);
        return;
    }
    if (!ui::Ui::current().askDestructive(restoreQuestion(source, *contenido)))
        return;
    bool restored = false;
    {
        const ui::BusyCursor busy;
        restored = codigo.restoreBackup(source);
    }
    m_restored = m_restored || restored;
    if (restored)
        inform(u"Se ha restaurado la copia de seguridad correctamente. Los datos anteriores se conservan en el "
               u"archivo ferlon.mdb.anterior."_s);
    else
        inform(u"No se ha podido restaurar la copia de seguridad. No se ha modificado ningún dato."_s);
    m_ui->bRestaurar->setFocus();
}
