#include "app/cli/CarTool.h"
#include "app/cli/Command.h"
#include "app/cli/ConsoleLineEnds.h"
#include "carscript/FileSystem.h"

#include <iostream>
#include <ostream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef _WIN32
#include "carscript/WindowsApi.h"
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

// The arguments as UTF-8, the tool's text everywhere: argv holds them in
// the system's code page, which cannot hold every name a folder may have.
std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    const std::wstring line = quendral::cli::withFinalBackslashesKept(GetCommandLineW());
    wchar_t** wide = CommandLineToArgvW(line.c_str(), &count);
    for (int i = 1; wide && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), size, nullptr, nullptr);
        argument.pop_back();
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

// Shows the UTF-8 output as such in a console, and gives the console back
// with the code page it had.
class Utf8Console
{
public:
    Utf8Console() : m_codePage(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console()
    {
        if (m_codePage != 0)
            SetConsoleOutputCP(m_codePage);
    }

private:
    UINT m_codePage;
};

} // namespace
#endif

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
#ifdef __GLIBC__
    // A save holds a script several times over (as read, as kept, as
    // rewritten), each a block of its own. glibc gives blocks this large
    // back to the system when they are freed, so each next one costs a page
    // fault for every page touched: a third of a large save's time. The tool
    // runs for one command, so it keeps what it freed for the next block.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, -1);
#endif
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const Utf8Console console;
    // Bytes in and out as they are: a table read from standard input keeps
    // its own line ends and any byte 26 in it, and one printed is the same
    // as on every system. Text lines end in CR LF, as those of standard
    // error do in its text mode.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    quendral::cli::ConsoleLineEnds lineEnds(*std::cout.rdbuf());
    std::ostream out(&lineEnds);
    const std::vector<std::string> arguments = utf8Arguments();
#else
    std::ostream& out = std::cout;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    const int status = quendral::runCarTool(arguments, std::cin, out, std::cerr, quendral::FileSystem::real());
    out.flush();
    return status;
}
