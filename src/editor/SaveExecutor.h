#pragma once

#include "editor/SaveJob.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quendral {

class FileSystem;
class MessagePresenter;

// Carries out saves, of one car or many, at the pace of the disk rather
// than of its waits. Each car's history entry, backup and new script are
// written first, each to a temporary file beside it; one flush of their
// file system makes them all durable; then each car's entry, backup and
// script are renamed into place, in that order, and a second flush makes
// the renames durable. A save of one car waits for the disk twice, and so
// does a batch of many.
//
// Each car keeps what its save alone promises: its save lock held from the
// read to the rename (the locks of a batch taken in the order of their
// scripts folders' identities, device and inode, so that two batches cannot
// wait for each other), its script whole, old or new, whenever the process
// dies, and the same messages and result. A car whose files fail is told
// about and left as it was; the others are still saved. Two cars sharing
// one scripts folder (through a link) are saved once, as the first, with a
// note on the second.
class SaveExecutor
{
public:
    explicit SaveExecutor(FileSystem& fileSystem);
    ~SaveExecutor();
    SaveExecutor(const SaveExecutor&) = delete;
    SaveExecutor& operator=(const SaveExecutor&) = delete;

    // Adds a car's save, as `make` makes it, telling the user through the
    // presenter it is handed, which holds the car's messages back until its
    // save has ended: no message waits to be read while the car is locked
    // and its temporary files lie beside its script. A save `make` cannot
    // make counts as failed.
    void add(MessagePresenter& messages, const std::function<std::optional<SaveJob>(MessagePresenter&)>& make);

    // Saves the cars added, and returns for each, in the order added,
    // whether it was saved with every setting. Their messages come out car
    // by car in that order too.
    std::vector<bool> run();

private:
    struct Car;

    void saveTogether(std::size_t first, std::size_t end);
    bool lockCar(Car& car);
    bool stageFiles(Car& car);
    bool flushFiles(Car& car);
    bool commitFiles(Car& car);
    template <typename Step>
    void guarded(Car& car, Step step);

    FileSystem& m_fileSystem;
    std::vector<std::unique_ptr<Car>> m_cars;
};

} // namespace quendral
