// Drives the native window through steps given on the command line, as a
// user would, and reports what it was told:
//   win32_editor_steps FOLDER [--pick CAR] [--set CAR I4V6V8V10 DRIVE FRONT REAR MIN MAX]... [--show SECONDS]
// --set picks the car, ticks the engine families given as four 0s and 1s,
// picks the driven axle (front, rear or all), moves the sliders, types the
// wheel sizes and presses Save; --show leaves the window up that long.

#include "FormDriver.h"
#include "Support.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace quendral;

namespace {

int rowOf(const EditingControls& controls, std::string_view car)
{
    const auto& items = controls.carList.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == car)
            return static_cast<int>(i);
    }
    std::fprintf(stderr, "no car %s in the list\n", std::string(car).c_str());
    std::exit(2);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("usage: win32_editor_steps FOLDER [--pick CAR] [--set CAR I4V6V8V10 DRIVE FRONT REAR MIN MAX]... "
                   "[--show SECONDS]\n", stderr);
        return 2;
    }
    test::RecordingMessages messages;
    win32::MainForm form(&messages);
    test::FormDriver driver(form);
    form.show(SW_SHOWNORMAL);
    driver.pump();
    if (form.helpWindow())
        SendMessageW(form.helpWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    if (!form.startIn(argv[1]))
        return 1;
    driver.pump();
    for (int i = 2; i < argc; ++i) {
        const std::string_view step = argv[i];
        if (step == "--pick" && i + 1 < argc) {
            driver.pickCar(rowOf(form.controls(), argv[++i]));
        } else if (step == "--set" && i + 7 < argc) {
            driver.pickCar(rowOf(form.controls(), argv[++i]));
            const std::string_view engines = argv[++i];
            for (std::size_t e = 0; e < 4 && e < engines.size(); ++e) {
                if (form.controls().engineChecks()[e]->isChecked() != (engines[e] == '1'))
                    driver.click(("Check" + std::to_string(e + 1)).c_str());
            }
            const std::string_view drive = argv[++i];
            driver.click(drive == "front" ? "Option1" : drive == "rear" ? "Option2" : "Option3");
            driver.slide("Slider1", std::atoi(argv[++i]));
            driver.slide("Slider2", std::atoi(argv[++i]));
            driver.type("txtminw", argv[++i]);
            driver.type("txtmaxw", argv[++i]);
            driver.click("cmdSave");
        } else if (step == "--show" && i + 1 < argc) {
            SetForegroundWindow(form.handle());
            const DWORD end = GetTickCount() + 1000u * static_cast<DWORD>(std::atoi(argv[++i]));
            while (GetTickCount() < end) {
                driver.pump();
                Sleep(50);
            }
        } else {
            std::fprintf(stderr, "win32_editor_steps: cannot read the step %s\n", argv[i]);
            return 2;
        }
    }
    for (const test::ShownMessage& message : messages.shown)
        std::printf("%s: %s\n", message.caption.c_str(), message.text.c_str());
    return messages.shown.empty() ? 0 : 1;
}
