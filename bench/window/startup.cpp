// What the window's start costs, piece by piece: the icon (every size), building the main window,
// and Form_Load (texts, fonts, the settings, the first render and show). Offscreen platform.
//   build-release/bin/bench_window_startup --benchmark_repetitions=9
#include "gui/AppIdentity.h"
#include "gui/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_AppIdentityIcon(benchmark::State& state)
{
    for (auto _ : state) {
        const QIcon icon = AppIdentity::Icon();
        benchmark::DoNotOptimize(icon.availableSizes().size());
    }
}
BENCHMARK(BM_AppIdentityIcon)->Unit(benchmark::kMillisecond);

// The icon as it was made before: each file added without its size, so every one is decoded.
void BM_IconEveryFileDecoded(benchmark::State& state)
{
    for (auto _ : state) {
        QIcon icon;
        QDirIterator sizes(QStringLiteral(":/icons/hicolor"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (sizes.hasNext())
            icon.addFile(sizes.next() + QStringLiteral("/apps/quillet.png"));
        benchmark::DoNotOptimize(icon.availableSizes().size());
    }
}
BENCHMARK(BM_IconEveryFileDecoded)->Unit(benchmark::kMillisecond);

void BM_MainWindowConstructor(benchmark::State& state)
{
    ScriptedDialogs dialogs;
    for (auto _ : state) {
        frmMain window(dialogs);
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_MainWindowConstructor)->Unit(benchmark::kMillisecond);

void BM_MainWindowConstructorAndFormLoad(benchmark::State& state)
{
    ScriptedDialogs dialogs;
    for (auto _ : state) {
        frmMain window(dialogs);
        window.Form_Load();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MainWindowConstructorAndFormLoad)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (Language::LoadProgramTexts(QCoreApplication::applicationDirPath()) <= 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
