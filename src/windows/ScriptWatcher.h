#pragma once

#include <QFileSystemWatcher>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace quendral {

// Watches one car script, and the folder it lies in since saves rename a
// new file over it, and calls `changed` once things have been quiet for a
// moment, so that a program writing in steps is seen once it is done.
class ScriptWatcher : public QObject
{
public:
    ScriptWatcher(std::function<void()> changed, QObject* parent);

    // Nothing for an empty path.
    void watch(const std::filesystem::path& script);

private:
    void rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QString m_script;
    std::function<void()> m_changed;
};

} // namespace quendral
