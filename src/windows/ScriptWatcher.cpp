#include "windows/ScriptWatcher.h"

#include "windows/ShownText.h"

namespace quendral {

namespace {

constexpr int QuietMilliseconds = 200;

} // namespace

ScriptWatcher::ScriptWatcher(std::function<void()> changed, QObject* parent)
    : QObject(parent), m_changed(std::move(changed))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMilliseconds);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_quiet, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_quiet, qOverload<>(&QTimer::start));
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        rewatch();
        m_changed();
    });
}

void ScriptWatcher::watch(const std::filesystem::path& script)
{
    m_quiet.stop();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_script = script.empty() ? QString() : shownPath(script);
    std::error_code gone;
    if (!script.empty() && std::filesystem::is_directory(script.parent_path(), gone))
        m_watcher.addPath(shownPath(script.parent_path()));
    rewatch();
}

// A script renamed over or written anew is another file: watch it again.
void ScriptWatcher::rewatch()
{
    std::error_code gone;
    if (!m_script.isEmpty() && !m_watcher.files().contains(m_script) && std::filesystem::exists(pathOf(m_script), gone))
        m_watcher.addPath(m_script);
}

} // namespace quendral
