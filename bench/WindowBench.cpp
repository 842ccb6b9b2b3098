// Speed of the editor's window on a large racers folder: from constructing
// the main window with the folder given, as at start-up, until the car list
// is filled and the event loop has nothing left to do, so that the window
// answers the user's next key or click at once. Run it offscreen:
// QT_QPA_PLATFORM=offscreen quendral-window-bench

#include "BenchInputs.h"
#include "Support.h"

#include "controls/MessagePresenter.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace quendral::bench {
namespace {

// A message here means the benchmark measures the wrong thing: stop it.
class FailOnMessage final : public MessagePresenter
{
public:
    void showError(std::string_view caption, std::string_view text) override
    {
        throw std::runtime_error(std::string(caption) + ": " + std::string(text));
    }
};

// Until nothing is pending: the views lay out their rows and the windows
// paint on events and zero timers that the folder's opening posts.
void runUntilIdle()
{
    QEventLoop loop;
    while (loop.processEvents(QEventLoop::AllEvents)) {
    }
}

} // namespace

// Opens the window once, so that what a process does once only (the fonts
// and the style read, the icons loaded) is not counted in the first run.
void warmUp()
{
    FailOnMessage messages;
    MainWindow form(&messages);
    form.show();
    form.startIn(racersFolderOf(100));
    runUntilIdle();
}

namespace {

void BM_StartWithRacersFolder(benchmark::State& state)
{
    const int cars = static_cast<int>(state.range(0));
    const std::filesystem::path& folder = racersFolderOf(cars);
    FailOnMessage messages;
    int listed = 0;
    for (auto _ : state) {
        auto form = std::make_unique<MainWindow>(&messages);
        form->show();
        if (!form->startIn(folder))
            state.SkipWithError("the folder did not open");
        runUntilIdle();
        listed = form->findChild<QListWidget*>(QStringLiteral("lstcars"))->count();
        // Closing the window is not part of the start.
        state.PauseTiming();
        form.reset();
        runUntilIdle();
        state.ResumeTiming();
    }
    if (listed != cars)
        state.SkipWithError("the car list does not hold every car");
    state.SetItemsProcessed(state.iterations() * cars);
}
BENCHMARK(BM_StartWithRacersFolder)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quendral::bench

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    quendral::bench::warmUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
