#include "Ui.h"

#include "QtUi.h"

namespace ui {

namespace {
std::unique_ptr<Ui>& instance()
{
    static std::unique_ptr<Ui> s_instance;
    return s_instance;
}
} // namespace

Ui& Ui::current()
{
    auto& ui = instance();
    if (!ui)
        ui = std::make_unique<QtUi>();
    return *ui;
}

void Ui::install(std::unique_ptr<Ui> ui)
{
    instance() = std::move(ui);
}

void Ui::uninstall()
{
    instance().reset();
}

void inform(const QString& text)
{
    Ui::current().message(text, Ui::Icon::Information);
}

} // namespace ui
