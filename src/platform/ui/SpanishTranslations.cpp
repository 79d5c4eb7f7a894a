#include "SpanishTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

using namespace Qt::StringLiterals;

namespace ui {

namespace {

// Qt's Spanish is Spain's: its file and print dialogs say "fichero" where the operators, and the
// rest of the program, say "archivo". These texts take the place of Qt's own.
class ArchivoTranslator : public QTranslator
{
public:
    [[nodiscard]] bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override
    {
        struct Text
        {
            const char* context;
            const char* source;
            QString spanish;
        };
        static const Text texts[] = {
            {"QFileDialog", "File &name:", u"&Nombre de archivo:"_s},
            {"QFileDialog", "Files of type:", u"Archivos de tipo:"_s},
            {"QFileDialog", "All Files (*)", u"Todos los archivos (*)"_s},
            {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
             u"El archivo %1 ya existe.\n¿Desea reemplazarlo?"_s},
            {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
             u"%1\nArchivo no encontrado.\nVerifique que el nombre del archivo es correcto."_s},
            {"QFileSystemModel", "Invalid filename", u"Nombre de archivo no válido"_s},
            {"QPrintWidget", "Output &file:", u"&Archivo de salida:"_s},
            {"QPrintDialog", "Print To File ...", u"Imprimir a archivo..."_s},
            {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
             u"%1 es un directorio.\nElija un nombre de archivo diferente."_s},
            {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
             u"No se puede escribir en el archivo %1.\nElija un nombre de archivo diferente."_s},
            {"QFile", "Destination file is the same file.", u"El archivo de destino es el mismo."_s},
            {"QIODevice", "No such file or directory", u"No hay ningún archivo o directorio con ese nombre"_s},
            {"QIODevice", "Too many open files", u"Demasiados archivos abiertos simultáneamente"_s},
        };
        if (!context || !sourceText)
            return {};
        for (const Text& text : texts) {
            if (qstrcmp(context, text.context) == 0 && qstrcmp(sourceText, text.source) == 0)
                return text.spanish;
        }
        return {};
    }
};

} // namespace

bool installSpanishTranslations(QCoreApplication& app)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(u"qtbase_es"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setParent(&app);
    if (!QCoreApplication::installTranslator(translator.release()))
        return false;
    // Installed last, so it is asked first.
    auto archivo = std::make_unique<ArchivoTranslator>();
    archivo->setParent(&app);
    return QCoreApplication::installTranslator(archivo.release());
}

} // namespace ui
