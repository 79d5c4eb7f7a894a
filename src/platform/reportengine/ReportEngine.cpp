#include "ReportEngine.h"

#include "Report.h"

namespace report {

namespace {

std::unique_ptr<ReportEngine>& installed()
{
    static std::unique_ptr<ReportEngine> s_engine;
    return s_engine;
}

} // namespace

ReportEngine::~ReportEngine() = default;

ReportEngine* ReportEngine::current()
{
    return installed().get();
}

void ReportEngine::install(std::unique_ptr<ReportEngine> engine)
{
    installed() = std::move(engine);
}

void ReportEngine::uninstall()
{
    installed().reset();
}

} // namespace report
