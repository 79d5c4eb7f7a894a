#include "RecordedReport.h"

namespace report {

QString RecordedReport::parameter(const QString& name) const
{
    for (auto it = parameters.crbegin(); it != parameters.crend(); ++it) {
        if (it->first == name)
            return it->second;
    }
    return {};
}

QStringList RecordedReport::parameterNames() const
{
    QStringList names;
    for (const auto& parameter : parameters)
        names.append(parameter.first);
    return names;
}

} // namespace report
