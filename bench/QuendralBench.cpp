// Speed of the editor's work on large inputs: reading a script field by
// field, reading a car's settings, rewriting a script in memory and on disk,
// and scanning racers folders of many cars. All inputs are grown from the
// demo car at run time.

#include "BenchInputs.h"
#include "Support.h"

#include "carscript/ByteSink.h"
#include "carscript/CarFiles.h"
#include "carscript/FieldReader.h"
#include "carscript/FileSystem.h"
#include "carscript/SettingsReader.h"
#include "carscript/ScriptRewriter.h"
#include "editor/EditorSession.h"
#include "history/LineDiff.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace quendral::bench {
namespace {

constexpr std::int64_t KiB = 1024;
constexpr std::int64_t MiB = 1024 * KiB;

// A message here means the benchmark measures the wrong thing: stop it.
class FailOnMessage final : public MessagePresenter
{
public:
    void showError(std::string_view caption, std::string_view text) override
    {
        throw std::runtime_error(std::string(caption) + ": " + std::string(text));
    }
};

const std::string& scriptOfSize(std::int64_t size)
{
    static std::map<std::int64_t, std::string> scripts;
    auto it = scripts.find(size);
    if (it == scripts.end())
        it = scripts.emplace(size, largeScript(static_cast<std::size_t>(size))).first;
    return it->second;
}

// What a save writes: two engine families, all wheels driven, new heights
// and a new wheel-size range, so that every replaced piece is written anew.
CarSettings changedSettings()
{
    return {{true, false, true, false}, Drive::All, 10, 5, "15", "19"};
}

void setBytes(benchmark::State& state, std::size_t bytes)
{
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.counters["bytes"] = static_cast<double>(bytes);
}

void ScriptSizes(benchmark::internal::Benchmark* b)
{
    b->Arg(4 * KiB)->Arg(1 * MiB)->Arg(50 * MiB);
}

void BM_FieldReader(benchmark::State& state)
{
    const std::string& script = scriptOfSize(state.range(0));
    std::size_t fields = 0;
    for (auto _ : state) {
        FieldReader reader(script);
        Field field;
        fields = 0;
        while (reader.next(field)) {
            benchmark::DoNotOptimize(field.text.data());
            ++fields;
        }
    }
    setBytes(state, script.size());
    state.counters["fields"] = static_cast<double>(fields);
}
BENCHMARK(BM_FieldReader)->Apply(ScriptSizes);

void BM_Load(benchmark::State& state)
{
    const std::string& script = scriptOfSize(state.range(0));
    ScriptSettings read;
    for (auto _ : state) {
        read = readScriptSettings(script);
        benchmark::DoNotOptimize(read.settings.front);
    }
    if (read.settings.smallest != "15" || read.settings.largest != "18")
        state.SkipWithError("the load did not find the front-left wheel sizes");
    setBytes(state, script.size());
}
BENCHMARK(BM_Load)->Apply(ScriptSizes);

void BM_Rewrite(benchmark::State& state)
{
    const std::string& script = scriptOfSize(state.range(0));
    const CarSettings settings = changedSettings();
    StringSink sink;
    std::string error;
    // One rewrite ahead sizes the sink, so that growing it (and the page
    // faults of fresh memory) is not counted as rewriting.
    rewriteScript(script, settings, sink, error);
    for (auto _ : state) {
        sink.data.clear();
        if (!rewriteScript(script, settings, sink, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(sink.data.data());
    }
    setBytes(state, script.size());
}
BENCHMARK(BM_Rewrite)->Apply(ScriptSizes);

// The preview's diff: the script against what a save would write, a few
// lines apart among millions.
void BM_DiffAfterSave(benchmark::State& state)
{
    const std::string& script = scriptOfSize(state.range(0));
    StringSink sink;
    std::string error;
    if (!rewriteScript(script, changedSettings(), sink, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::size_t lines = 0;
    for (auto _ : state)
        lines = diffLines(script, sink.data).lines.size();
    if (lines == 0)
        state.SkipWithError("the diff found no change");
    setBytes(state, script.size());
    state.counters["diff lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DiffAfterSave)->Arg(4 * KiB)->Arg(20 * MiB)->Unit(benchmark::kMillisecond);

// A car folder of its own holding a script of the given size, picked in an
// editor as a user would before saving.
struct CarOnDisk
{
    explicit CarOnDisk(std::int64_t size) : controls(messages), editor(controls, messages, FileSystem::real())
    {
        const std::filesystem::path folder = scratch.path() / "bigcar";
        std::filesystem::create_directories(folder / "scripts");
        const std::string& script = scriptOfSize(size);
        std::ofstream(carScriptPath(folder), std::ios::binary)
            .write(script.data(), static_cast<std::streamsize>(script.size()));
        editor.pickCarFolder(folder);
    }

    test::TemporaryFolder scratch;
    FailOnMessage messages;
    EditingControls controls;
    EditorSession editor;
};

// Picking a car: the script read from disk (the page cache, after the first
// run) and its settings put into the controls.
void BM_PickCar(benchmark::State& state)
{
    CarOnDisk car(state.range(0));
    for (auto _ : state) {
        if (!car.editor.loadSelectedCar()) {
            state.SkipWithError("the car could not be loaded");
            break;
        }
    }
    setBytes(state, scriptOfSize(state.range(0)).size());
}
BENCHMARK(BM_PickCar)->Apply(ScriptSizes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole save: the script read, the backup written and forced to disk,
// the script rewritten into a new file, forced to disk and renamed into
// place. Wall time, since most of it is waiting for the disk.
void BM_SaveOnDisk(benchmark::State& state)
{
    CarOnDisk car(state.range(0));
    car.editor.loadSelectedCar();
    car.controls.engineV8.setValue(1);
    car.controls.allDrive.setValue(true);
    car.controls.frontHeight.setValue(10);
    for (auto _ : state) {
        if (!car.editor.save()) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    setBytes(state, scriptOfSize(state.range(0)).size());
}
BENCHMARK(BM_SaveOnDisk)->Apply(ScriptSizes)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening a racers folder: listing it and filling the car list and table.
void BM_ScanRacersFolder(benchmark::State& state)
{
    const int cars = static_cast<int>(state.range(0));
    const std::filesystem::path& folder = racersFolderOf(cars);
    FailOnMessage messages;
    EditingControls controls(messages);
    EditorSession editor(controls, messages, FileSystem::real());
    for (auto _ : state) {
        editor.openFolder(folder);
        benchmark::DoNotOptimize(editor.carTable().size());
    }
    if (editor.carTable().size() != cars)
        state.SkipWithError("the scan did not find every car");
    state.SetItemsProcessed(state.iterations() * cars);
    state.SetComplexityN(cars);
}
BENCHMARK(BM_ScanRacersFolder)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity(benchmark::oN);

} // namespace
} // namespace quendral::bench

BENCHMARK_MAIN();
