// main() of the Google Benchmark programs that need a QApplication: the offscreen
// platform unless QT_QPA_PLATFORM names another, and unknown arguments refused.
#pragma once

#include <QApplication>
#include <QtGlobal>
#include <benchmark/benchmark.h>

namespace tavelorin::bench {

inline int EjecutarConQt(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tavelorin::bench
