#pragma once

class QCoreApplication;

namespace ui {

/// Loads Qt's own Spanish texts (qtbase_es.qm from Qt's translations directory) into the application,
/// so that question boxes read "&Sí"/"&No" and Qt's dialogs speak Spanish, saying "archivo" where Qt says
/// "fichero". Call once at start-up;
/// false when the translation file is missing, in which case Qt's texts stay in English.
bool installSpanishTranslations(QCoreApplication& app);

} // namespace ui
