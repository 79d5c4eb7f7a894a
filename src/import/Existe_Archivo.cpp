#include "Existe_Archivo.h"

#include <QFileInfo>

bool Existe_Archivo(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
