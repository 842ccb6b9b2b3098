#include "ProgramInfo.h"
#include "editor/EditorHelp.h"
#include "win32/MainForm.h"
#include "win32/WideText.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage = quendral::EditorUsage;
constexpr const char* Help = quendral::EditorHelp;

// A program without a console prints where it was started from, if anywhere.
void print(const std::string& text, bool error)
{
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    std::fputs(text.c_str(), error ? stderr : stdout);
    std::fflush(error ? stderr : stdout);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> folders;
    bool optionsEnded = false;
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (!optionsEnded && argument == L"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == L"--help" || argument == L"-h")) {
            print(Help, false);
            return 0;
        } else if (!optionsEnded && argument == L"--version") {
            print(quendral::program::versionText("quendral-car-editor") + "\n", false);
            return 0;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == L'-') {
            print("quendral-car-editor: unknown option " + quendral::win32::utf8(argument) + "\n" + Usage, true);
            return 2;
        } else {
            folders.push_back(argument);
        }
    }
    LocalFree(arguments);
    if (folders.size() > 1) {
        print(std::string("quendral-car-editor: one folder at most\n") + Usage, true);
        return 2;
    }

    quendral::win32::MainForm form;
    if (!form.isOpen()) {
        print("quendral-car-editor: the window cannot be made (is there a display?)\n", true);
        return 1;
    }
    form.endProgramOnClose();
    form.show(showCommand);
    if (!folders.empty())
        form.startIn(folders.front());

    // A measuring aid for start-up time: quit once both windows are up and
    // the start folder, if any, has been scanned.
    if (const char* quit = std::getenv("QUENDRAL_QUIT_AFTER_START"); quit && std::string(quit) == "1")
        PostMessageW(form.handle(), WM_CLOSE, 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.translate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
