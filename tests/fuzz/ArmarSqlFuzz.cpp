// Placeholders on any text: line 1 the template, the others values ("#" first: a number). A template without
// "?" comes back as it is; when no value holds a "?", each fills one and those left are the ones beyond them.

#include "data/Armar_Sql.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split(u'\n');
    std::vector<db::Value> values;
    for (const QString& line : lines.sliced(1))
        values.push_back(line.startsWith(u'#') ? db::Value(line.mid(1).toDouble()) : db::Value(line));
    const bool valueMarks = std::ranges::any_of(values, [](const db::Value& v) { return v.toString().contains(u'?'); });
    const QString result = Armar_Sql(lines[0], values);
    if ((!lines[0].contains(u'?') && result != lines[0]) ||
        (!valueMarks && result.count(u'?') != std::max<qsizetype>(0, lines[0].count(u'?') - std::ssize(values))))
        std::abort();
    return 0;
}
