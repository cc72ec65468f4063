// SPDX-License-Identifier: MIT
// One memory-and-drive tick and one CPU tick of the real main window, with
// the real operating-system queries, on Qt's offscreen platform.

#include "meter/form1.h"
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"
#include "settings/settings_store.h"
#include "texts/texts.h"

#include <QApplication>
#include <QMap>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

using namespace kelvora;

class NoSettings final : public SettingsStore {
public:
    QString get(const QString&, const QString&, const QString& fallback) override {
        return fallback;
    }
    void save(const QString&, const QString&, const QString&) override {}
    void deleteAll() override {}
    void flush() override {}
};

struct Meter {
    Meter() : os(makeOsQueries()), form(englishTexts(), store, *os, listDrives()) {
        form.load();
        form.show();
        QApplication::processEvents();
    }
    NoSettings store;
    std::unique_ptr<OsQueries> os;
    Form1 form;
};

void memoryAndDriveTick(benchmark::State& state) {
    Meter meter;
    for (auto _ : state)
        meter.form.memoryAndDriveTick();
}
BENCHMARK(memoryAndDriveTick);

// The tick as the timer runs it, with the repaint the changed labels cause.
void memoryAndDriveTickWithPaint(benchmark::State& state) {
    Meter meter;
    for (auto _ : state) {
        meter.form.memoryAndDriveTick();
        QApplication::processEvents();
    }
}
BENCHMARK(memoryAndDriveTickWithPaint);

void cpuTick(benchmark::State& state) {
    Meter meter;
    QTimer* timer = meter.form.findChild<QTimer*>(QStringLiteral("CpuRef"));
    for (auto _ : state)
        QMetaObject::invokeMethod(timer, "timeout");
}
BENCHMARK(cpuTick);

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
