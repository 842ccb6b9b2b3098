#pragma once

#include "editor/CarEditor.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace quendral {

class FileSystem;

// Saves cars at the pace of the disk rather than of its waits. Each car's
// history entry, backup and new script are written first, each to a
// temporary file beside it; one flush of their file system makes them all
// durable; then each car's entry, backup and script are renamed into place,
// in that order, and a second flush makes the renames durable. A save of one
// car waits for the disk twice, and so does a batch of many.
//
// Each car keeps what its save alone promises: its save lock held from the
// read to the rename (the locks of a batch taken in the order of their
// scripts folders' identities, device and inode, so that two batches cannot
// wait for each other), its script whole,
// old or new, whenever the process dies, and the same messages and result.
// A car whose files fail is told about and left as it was; the others are
// still saved. Two cars sharing one scripts folder (through a link) are
// saved once, as the first, with a note on the second.
class BatchSave
{
public:
    explicit BatchSave(FileSystem& fileSystem);
    ~BatchSave();
    BatchSave(const BatchSave&) = delete;
    BatchSave& operator=(const BatchSave&) = delete;

    // Adds the save of the editor's selected car, as CarEditor::save(scope)
    // makes it. Once a batch has two cars, each editor's messages are held
    // back until its save has ended, then shown together.
    void add(CarEditor& editor, CarEditor::SaveScope scope = CarEditor::SaveScope::ChangedSettings);

    // Saves the cars added, and returns for each, in the order added, what
    // CarEditor::save() would have returned. Their messages come out car by
    // car in that order too.
    std::vector<bool> run();

private:
    friend class CarEditor;
    struct Car;

    void add(CarEditor& editor, CarEditor::SaveJob job);
    Car& added(CarEditor& editor);
    void saveTogether(std::size_t first, std::size_t end);
    bool lockCar(Car& car);
    bool stageFiles(Car& car);
    bool flushFiles(Car& car);
    bool commitFiles(Car& car);
    template <typename Step>
    bool guarded(Car& car, Step step);

    FileSystem& m_fileSystem;
    std::vector<std::unique_ptr<Car>> m_cars;
};

} // namespace quendral
