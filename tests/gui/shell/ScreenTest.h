#pragma once

#include "support/TempDatabase.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/Ui.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

/// A fresh database, a scripted operator and a fixed date for each screen test.
class ScreenTest : public ::testing::Test
{
protected:
    ScreenTest() : m_ui(ui::ScriptedUi::install())
    {
        Clock::fix(QDate(2002, 10, 1));
        ProgramDirectory::override(m_db.dir());
        clsCodigo& codigo = clsCodigo::instance();
        codigo.Par_Agente = 0;
        codigo.Par_CUIT.clear();
        codigo.Par_Denomin.clear();
    }

    ~ScreenTest() override
    {
        EXPECT_TRUE(m_ui.unansweredQuestions().isEmpty());
        EXPECT_FALSE(m_ui.isBusy()) << "the pointer is back to normal";
        ui::Ui::install(nullptr);
        ProgramDirectory::release();
        Clock::release();
    }

    /// Shows a window and makes it active, so that the focus can be checked.
    static void activate(QWidget& window)
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void execute(const QString& sql) { m_db.db().execute(sql); }

    TempDatabase m_db;
    ui::ScriptedUi& m_ui;
};
