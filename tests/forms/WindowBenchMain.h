// The entry of the window benchmarks: Qt's application (offscreen where
// there is no display), what the benchmarks share made once, the runs, and
// what they left torn down while the application still exists.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace mc::test {

inline int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {},
                               const std::function<void()>& tearDown = {})
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (prepare) prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown) tearDown();
    return 0;
}

}  // namespace mc::test
