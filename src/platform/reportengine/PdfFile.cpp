#include "PdfFile.h"

#include "ReportDocument.h"
#include "ReportError.h"

#include <QDir>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace report {

PdfFile::PdfFile(const QString& path, const QPageLayout& layout, const QString& title)
    : m_shownPath(QDir::toNativeSeparators(path)), m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw ReportError(u"no se puede escribir "_s + m_shownPath + u": "_s + m_file.errorString());
    m_writer = std::make_unique<QPdfWriter>(&m_file);
    m_writer->setResolution(ReportDocument::layoutDpi);
    m_writer->setPageLayout(layout);
    m_writer->setTitle(title);
    m_writer->setCreator(u"TOLBRANE"_s);
}

PdfFile::~PdfFile() = default;

void PdfFile::commit()
{
    m_writer.reset();
    if (m_file.error() != QFileDevice::NoError || m_file.size() == 0) {
        m_file.cancelWriting();
        throw ReportError(u"no se pudo escribir el PDF "_s + m_shownPath);
    }
    if (!m_file.commit())
        throw ReportError(u"no se pudo guardar "_s + m_shownPath + u": "_s + m_file.errorString());
}

} // namespace report
