#include "editor/SaveExecutor.h"

#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "controls/MessagePresenter.h"
#include "editor/SaveMessages.h"
#include "editor/SaveObstacles.h"
#include "settings/InQuotes.h"
#include "history/ScriptHistory.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <compare>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace quendral {

namespace {

// How long a save waits for another save of the same car to end; a save
// takes well under a second, even of a large script.
constexpr std::chrono::milliseconds LockPatience{5000};

// The cars saved together: each holds its lock and two open files until
// its rename. At most 200, and fewer where the process may open fewer
// files than four for each and some to spare.
std::size_t carsAtOnce()
{
    constexpr std::size_t Most = 200;
#ifndef _WIN32
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return std::clamp<std::size_t>((static_cast<std::size_t>(limit.rlim_cur) - std::min<rlim_t>(limit.rlim_cur, 64)) / 4,
                                       1, Most);
#endif
    return Most;
}

// A car's scripts folder as the file system knows it, so that two cars
// sharing one through a link are seen as one: its device and inode, or
// where it cannot be examined (or on Windows), its path made canonical.
struct FolderIdentity
{
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    std::string path;
    auto operator<=>(const FolderIdentity&) const = default;
};

FolderIdentity identityOf(const std::filesystem::path& carFolder)
{
    const std::filesystem::path scripts = carScriptPath(carFolder).parent_path();
    FolderIdentity identity;
#ifndef _WIN32
    struct stat status
    {
    };
    if (stat(scripts.c_str(), &status) == 0) {
        identity.device = static_cast<std::uintmax_t>(status.st_dev);
        identity.inode = static_cast<std::uintmax_t>(status.st_ino);
        return identity;
    }
#endif
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(scripts, error);
    identity.path = (error ? scripts : canonical).string();
    return identity;
}

// Messages held back until the car's save has ended.
class HeldMessages final : public MessagePresenter
{
public:
    void showError(std::string_view caption, std::string_view text) override
    {
        m_held.emplace_back(caption, text);
    }
    void showOn(MessagePresenter& messages)
    {
        for (const auto& [caption, text] : std::exchange(m_held, {}))
            messages.showError(caption, text);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_held;
};

} // namespace

struct SaveExecutor::Car
{
    MessagePresenter* messages = nullptr;
    HeldMessages held;
    std::optional<SaveJob> job;

    // Released in the reverse order: a save that fails takes its history
    // back and removes its temporary files before it lets go of the lock.
    std::unique_ptr<FileLock> lock;
    std::unique_ptr<VersionKeeper> history;
    std::unique_ptr<ReplacementFile> output;
    std::unique_ptr<ReplacementFile> backup;
    std::unique_ptr<ReplacementFile> entry;
    std::filesystem::path entryPath;
    std::string data;
    std::string written;
    FolderIdentity identity;
    // The car saved in its place, whose scripts folder it shares.
    Car* savedAs = nullptr;
    bool failed = false;
    bool committed = false;
    bool result = false;

    MessagePresenter& tell() { return held; }
    const CarEntry& entryOfCar() const { return job->car; }
    bool fail(const std::string& reason)
    {
        SaveMessages(tell(), false).notSaved(job->car.name, reason);
        return false;
    }
    bool entryFailed()
    {
        return fail("its history entry " + entryPath.string() + " cannot be written (" + entry->errorString() + ")");
    }
    bool scriptFailed() { return fail("the new car script cannot be written (" + output->errorString() + ")"); }
    bool backupFailed()
    {
        return fail("the backup " + backupScriptPath(job->car.folder).string() + " cannot be written ("
                    + backup->errorString() + ")");
    }
    void release()
    {
        entry.reset();
        backup.reset();
        output.reset();
        history.reset();
        lock.reset();
    }
};

SaveExecutor::SaveExecutor(FileSystem& fileSystem) : m_fileSystem(fileSystem) {}

SaveExecutor::~SaveExecutor()
{
    // Messages held back by cars that were never run are shown all the same.
    for (const auto& car : m_cars)
        car->held.showOn(*car->messages);
}

void SaveExecutor::add(MessagePresenter& messages, const std::function<std::optional<SaveJob>(MessagePresenter&)>& make)
{
    auto car = std::make_unique<Car>();
    car->messages = &messages;
    car->job = make(car->tell());
    m_cars.push_back(std::move(car));
}

std::vector<bool> SaveExecutor::run()
{
    // Cars named twice through a link to one scripts folder are saved once:
    // a second save would wait for the first's lock and then write its
    // backup over the script as it stood.
    std::map<FolderIdentity, Car*> byIdentity;
    for (const auto& car : m_cars) {
        if (!car->job)
            continue;
        car->identity = identityOf(car->entryOfCar().folder);
        const auto [first, isFirst] = byIdentity.try_emplace(car->identity, car.get());
        if (isFirst)
            continue;
        car->savedAs = first->second;
        car->tell().showError("Save file", "The car " + inQuotes(car->entryOfCar().name)
                                               + " shares its scripts folder with the car "
                                               + inQuotes(first->second->entryOfCar().name)
                                               + ": it is saved once, as that car.");
    }
    const std::size_t atOnce = carsAtOnce();
    for (std::size_t first = 0; first < m_cars.size(); first += atOnce)
        saveTogether(first, std::min(first + atOnce, m_cars.size()));
    std::vector<bool> results;
    for (const auto& car : std::exchange(m_cars, {}))
        results.push_back(car->savedAs ? car->savedAs->result : car->result);
    return results;
}

// Runs a step of a car's save; a car whose step fails, or runs out of
// memory, leaves the batch, taking back what its save had done.
template <typename Step>
void SaveExecutor::guarded(Car& car, Step step)
{
    try {
        if (step())
            return;
    } catch (const std::bad_alloc&) {
        if (car.committed)
            car.result = car.job->outOfMemoryOnceSaved(car.tell());
        else
            car.fail("there is not enough memory to save it");
    }
    car.failed = true;
    car.release();
}

void SaveExecutor::saveTogether(std::size_t first, std::size_t end)
{
    std::vector<Car*> cars;
    for (std::size_t i = first; i < end; ++i)
        if (m_cars[i]->job && !m_cars[i]->savedAs)
            cars.push_back(m_cars[i].get());

    // In the order of the folders' identities, the same in every process,
    // so that two batches cannot wait for each other.
    std::vector<Car*> byLock = cars;
    std::sort(byLock.begin(), byLock.end(), [](const Car* a, const Car* b) { return a->identity < b->identity; });
    for (Car* car : byLock)
        guarded(*car, [&] { return lockCar(*car); });
    for (Car* car : cars)
        if (!car->failed)
            guarded(*car, [&] { return stageFiles(*car); });

    const auto foldersOf = [&] {
        std::vector<std::filesystem::path> folders;
        for (const Car* car : cars)
            if (!car->failed)
                folders.push_back(car->entryOfCar().folder);
        return folders;
    };
    std::string error;
    // Whatever the whole file system could not write, each file's own flush
    // tells which cars it concerns.
    if (const auto folders = foldersOf(); !folders.empty() && !m_fileSystem.syncFileSystems(folders, error))
        for (Car* car : cars)
            if (!car->failed)
                guarded(*car, [&] { return flushFiles(*car); });
    for (Car* car : cars)
        if (!car->failed)
            guarded(*car, [&] { return commitFiles(*car); });
    // As for a single file, a failure to make the renames durable is no
    // reason to call saves that have taken place failed.
    if (const auto folders = foldersOf(); !folders.empty())
        m_fileSystem.syncFileSystems(folders, error);

    for (Car* car : cars) {
        if (car->failed)
            continue;
        guarded(*car, [&] {
            car->history->prune();
            car->release();
            car->result = car->job->finish(car->written, car->tell());
            return true;
        });
        car->written.clear();
        car->data.clear();
    }
    for (std::size_t i = first; i < end; ++i)
        m_cars[i]->held.showOn(*m_cars[i]->messages);
}

bool SaveExecutor::lockCar(Car& car)
{
    const std::filesystem::path lockFile = saveLockPath(car.entryOfCar().folder);
    std::string error;
    car.lock = m_fileSystem.lock(lockFile, LockPatience, error);
    if (car.lock)
        return true;
    // Where the folders say why, they are named rather than the lock.
    const std::filesystem::path carFolder = car.entryOfCar().folder, scripts = lockFile.parent_path();
    for (const auto& [folder, what] : {std::pair{carFolder, "its car folder "}, std::pair{scripts, "its scripts folder "}}) {
        FileStatus status;
        std::string ignored;
        if (!m_fileSystem.status(folder, status, ignored, Links::Followed)
            || status.type == FileType::Missing)
            return car.fail(what + folder.string() + " is missing");
        if (status.type != FileType::Folder)
            return car.fail(what + folder.string() + " is not a folder");
    }
    if (!m_fileSystem.canWriteIn(scripts))
        return car.fail("its scripts folder " + scripts.string() + " is read-only");
    return car.fail("its save lock " + lockFile.string() + " cannot be had (" + error + ")");
}

// Under the car's lock: no other save of this car is under way, so
// replacements still lying there were left by saves that were killed.
bool SaveExecutor::stageFiles(Car& car)
{
    FileSystem& files = m_fileSystem;
    const SaveMessages told(car.tell(), false);
    const CarEntry& entry = car.entryOfCar();
    const std::filesystem::path script = carScriptPath(entry.folder);
    car.history = std::make_unique<VersionKeeper>(files, entry.folder);
    std::string error;
    if (!car.history->removeLeftovers(error))
        return car.fail(error);
    files.removeLeftovers(script);
    files.removeLeftovers(backupScriptPath(entry.folder));

    // A restore may bring back a script that was deleted: there is nothing
    // to keep then, and the backup stays as it is.
    FileStatus scriptStatus, scriptsStatus;
    std::string ignored;
    const bool missing = !car.job->modelWhenMissing.empty()
        && (!files.status(script, scriptStatus, ignored, Links::NotFollowed) || scriptStatus.type == FileType::Missing)
        && files.status(script.parent_path(), scriptsStatus, ignored, Links::NotFollowed)
        && scriptsStatus.type == FileType::Folder;
    if (!checkWritable(entry, files, told) || (!missing && !readScriptToSave(entry, files, car.data, told)))
        return false;
    if (!car.history->start(missing ? std::nullopt : std::optional<std::string_view>(car.data), error))
        return car.fail(error);
    car.output = files.createReplacement(script, missing ? car.job->modelWhenMissing : script, error);
    if (!car.output)
        return car.fail("the new car script cannot be created beside " + script.string() + " (" + error + ")");
    if (!car.job->newScript(car.data, *car.output, car.written, car.tell()))
        return false;
    if (missing)
        return car.output->stage() || car.scriptFailed();
    // A save that changes nothing adds nothing to the history.
    if (car.written != car.data) {
        car.entry = car.history->prepareEntry(car.data, car.entryPath, error);
        if (!car.entry)
            return car.fail(error);
        if (!car.entry->stage())
            return car.entryFailed();
    }
    car.backup = car.history->prepareBackup(car.data, error);
    if (!car.backup)
        return car.fail(error);
    if (!car.backup->stage())
        return car.backupFailed();
    return car.output->stage() || car.scriptFailed();
}

bool SaveExecutor::flushFiles(Car& car)
{
    if (car.entry && !car.entry->flush())
        return car.entryFailed();
    if (car.backup && !car.backup->flush())
        return car.backupFailed();
    return car.output->flush() || car.scriptFailed();
}

// The history entry and the backup first: a script is never replaced
// before what it held is kept.
bool SaveExecutor::commitFiles(Car& car)
{
    if (car.entry) {
        if (!car.entry->commit())
            return car.entryFailed();
        car.history->kept(car.entryPath);
        car.entry.reset();
    }
    if (car.backup) {
        if (!car.backup->commit())
            return car.backupFailed();
        car.history->settle();
    }
    if (!car.output->commit())
        return car.scriptFailed();
    car.history->settle();
    car.committed = true;
    return true;
}

} // namespace quendral
