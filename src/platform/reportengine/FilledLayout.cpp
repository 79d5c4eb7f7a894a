#include "FilledLayout.h"

#include <kainjow/mustache.hpp>

namespace report {

QString FilledLayout::html() const
{
    if (!m_marked)
        return m_text;
    QString html;
    html.reserve(m_text.size() * 5 / 4);
    qsizetype plain = 0; // where the text since the last marker starts
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const int index = markerIndex(m_text[i]);
        if (index < 0)
            continue;
        html.append(QStringView(m_text).mid(plain, i - plain));
        // The template's own escaping, so that the text is the one it would have filled in.
        html.append(QString::fromStdString(kainjow::mustache::html_escape(m_values.at(index).toStdString())));
        plain = i + 1;
    }
    html.append(QStringView(m_text).mid(plain));
    return html;
}

} // namespace report
