#include "ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quendral::test {

namespace {

int resultOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& output)
{
    std::vector<std::string> words;
    words.push_back(program.string());
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string target = output.empty() ? std::string("/dev/null") : output.string();
    posix_spawn_file_actions_addopen(&actions, 1, target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, words.front().c_str(), &actions, nullptr, argv.data(), environ) == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    if (started() && !m_reaped) {
        kill();
        wait();
    }
}

bool ChildProcess::finished()
{
    if (!started() || m_reaped)
        return true;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid)
        return false;
    m_reaped = true;
    m_result = resultOf(status);
    return true;
}

void ChildProcess::kill()
{
    if (started() && !m_reaped)
        ::kill(m_pid, SIGKILL);
}

int ChildProcess::wait()
{
    if (!started())
        return -1;
    if (!m_reaped) {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0) {
        }
        m_reaped = true;
        m_result = resultOf(status);
    }
    return m_result;
}

} // namespace quendral::test
