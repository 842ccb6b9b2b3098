#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace quendral::test {

// A program run in a process of its own, so that a test can kill it at any
// moment the way a power cut or the task manager would.
class ChildProcess
{
public:
    // Starts `program` with `arguments`; its standard output and error go to
    // `output` (or nowhere when empty).
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& output = {});
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }

    // True once the process has ended (without waiting for it).
    bool finished();

    // Sends SIGKILL, unless it has ended already.
    void kill();

    // Waits for the end. Returns the exit status, or 128 + the signal that
    // ended it.
    int wait();

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_result = -1;
};

} // namespace quendral::test
