#include "PreviewDocument.h"

#include "FilledLayout.h"
#include "MarkedForm.h"
#include "PdfFile.h"
#include "ReportDocument.h"

#include <QDataStream>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

namespace {

// Laid-out sheets kept: the page shown, the ones beside it, and a sheet being printed meanwhile.
constexpr std::size_t keptSheets = 4;
// Forms whose readings are kept: as many, for the same sheets; a printing has no more than three forms.
constexpr std::size_t keptReadings = 4;

} // namespace

PreviewDocument::PreviewDocument(const QPageLayout& pageLayout) : m_pageLayout(pageLayout) {}

PreviewDocument::~PreviewDocument() = default;

void PreviewDocument::addSheet(const FilledLayout& filled, const QFont& font, const QString& title)
{
    Sheet sheet{.title = title, .form = nullptr, .text = {}, .font = font};
    if (filled.isMarked()) {
        if (!m_lastForm || filled.text() != m_lastMarked) {
            m_lastForm = std::make_shared<MarkedForm>(filled.text());
            m_lastMarked = filled.text();
        }
        sheet.form = m_lastForm;
        QByteArray values;
        QDataStream stream(&values, QIODevice::WriteOnly);
        stream << filled.values();
        sheet.text = qCompress(values);
    } else {
        sheet.text = qCompress(filled.text().toUtf8());
    }
    sheet.firstPage = pageCount();
    m_sheets.push_back(std::move(sheet));
    emit pagesChanged();
}

int PreviewDocument::pageCount() const
{
    return m_sheets.empty() ? 0 : m_sheets.back().firstPage + m_sheets.back().pages;
}

int PreviewDocument::sheetOfPage(int page) const
{
    const auto after = std::upper_bound(m_sheets.begin(), m_sheets.end(), page,
                                        [](int p, const Sheet& sheet) { return p < sheet.firstPage; });
    return std::max(0, static_cast<int>(after - m_sheets.begin()) - 1);
}

QString PreviewDocument::pageTitle(int page) const
{
    const Sheet& sheet = m_sheets.at(sheetOfPage(page));
    if (sheet.pages == 1)
        return sheet.title;
    return sheet.title + u" (página %1 de %2)"_s.arg(page - sheet.firstPage + 1).arg(sheet.pages);
}

void PreviewDocument::setPageLayout(const QPageLayout& layout)
{
    if (layout == m_pageLayout)
        return;
    m_pageLayout = layout;
    m_laidOut.clear();
    int firstPage = 0;
    for (Sheet& sheet : m_sheets) {
        sheet.laidOut = false;
        sheet.pages = 1;
        sheet.firstPage = firstPage++;
    }
    emit pagesChanged();
    emit layoutChanged();
}

std::shared_ptr<ReportDocument> PreviewDocument::laidOut(int sheet)
{
    const auto kept = std::find_if(m_laidOut.begin(), m_laidOut.end(), [&](const auto& e) { return e.first == sheet; });
    if (kept != m_laidOut.end()) {
        std::rotate(kept, kept + 1, m_laidOut.end());
        return m_laidOut.back().second;
    }
    if (m_laidOut.size() == keptSheets)
        m_laidOut.erase(m_laidOut.begin());
    const Sheet& source = m_sheets.at(sheet);
    std::shared_ptr<ReportDocument> document;
    if (source.form) {
        QStringList values;
        QDataStream stream(qUncompress(source.text));
        stream >> values;
        document = std::make_shared<ReportDocument>(*source.form, values, m_pageLayout, source.font, source.title);
        keepReading(source.form);
    } else {
        document = std::make_shared<ReportDocument>(QString::fromUtf8(qUncompress(source.text)), m_pageLayout,
                                                    source.font, source.title);
    }
    m_laidOut.emplace_back(sheet, document);
    countPages(sheet, std::max(1, document->pageCount(m_pageLayout)));
    return document;
}

void PreviewDocument::keepReading(const std::shared_ptr<MarkedForm>& form)
{
    const auto kept = std::find(m_readForms.begin(), m_readForms.end(), form);
    if (kept != m_readForms.end()) {
        std::rotate(kept, kept + 1, m_readForms.end());
        return;
    }
    if (m_readForms.size() == keptReadings) {
        m_readForms.front()->forget();
        m_readForms.erase(m_readForms.begin());
    }
    m_readForms.push_back(form);
}

void PreviewDocument::countPages(int sheet, int pages)
{
    Sheet& counted = m_sheets.at(sheet);
    counted.laidOut = true;
    if (counted.pages == pages)
        return;
    counted.pages = pages;
    for (auto next = m_sheets.begin() + sheet + 1; next != m_sheets.end(); ++next)
        next->firstPage = (next - 1)->firstPage + (next - 1)->pages;
    emit pagesChanged();
}

void PreviewDocument::drawPage(QPainter& painter, int page, const QRectF& target)
{
    if (m_sheets.empty())
        return;
    const int sheet = sheetOfPage(page);
    const auto document = laidOut(sheet);
    // Laying the sheet out may have found it shorter than the page asked for.
    const int inSheet = std::min(page - m_sheets[sheet].firstPage, m_sheets[sheet].pages - 1);
    document->drawPage(painter, inSheet, m_pageLayout, target);
}

bool PreviewDocument::print(QPagedPaintDevice& device, int from, int to, const Progress& progress)
{
    if (m_sheets.empty())
        return true;
    QPainter painter(&device);
    const QRectF target(0, 0, device.width(), device.height());
    int printed = 0;
    for (int sheet = sheetOfPage(from); sheet < sheetCount() && m_sheets[sheet].firstPage <= to; ++sheet) {
        const auto document = laidOut(sheet);
        for (int inSheet = 0; inSheet < m_sheets[sheet].pages; ++inSheet) {
            const int page = m_sheets[sheet].firstPage + inSheet;
            if (page < from || page > to)
                continue;
            if (printed++ > 0)
                device.newPage();
            document->drawPage(painter, inSheet, m_pageLayout, target);
            if (progress && !progress(printed, std::max(printed, std::min(to, pageCount() - 1) - from + 1)))
                return false;
        }
    }
    return true;
}

bool PreviewDocument::exportPdf(const QString& path, const QString& title, const Progress& progress)
{
    PdfFile file(path, m_pageLayout, title);
    if (!print(file.writer(), 0, pageCount() - 1, progress))
        return false;
    file.commit();
    return true;
}

} // namespace report
