#pragma once

#include "ProgressPacer.h"
#include "Ui.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace ui {

/// The real Progress: a small window with the text and a bar, over the screen whose step it follows. Short
/// steps show nothing but the hourglass: the window appears only when the step, half a second in, looks set to
/// last about a second or more. From then on it repaints every 50 ms, and no window takes input meanwhile, so
/// that nothing can start while the step runs.
class ProgressWindow : public Ui::Progress
{
public:
    ProgressWindow(QWidget* screen, QString text);
    ~ProgressWindow() override;

    void step(qint64 done, qint64 total) override;

private:
    void show(qint64 total);

    QPointer<QWidget> m_screen;
    QString m_text;
    QElapsedTimer m_started;
    std::unique_ptr<QDialog> m_window;
    ProgressPacer m_pacer;
};

} // namespace ui
