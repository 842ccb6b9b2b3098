#pragma once

// What both editors print for --help and for a mistake on their command line,
// whichever window they open; the Qt editor's help adds a sentence on Qt's
// own options. Also the manual page's text, which is made from it.
namespace quendral {

inline constexpr char EditorUsage[] = "usage: quendral-car-editor [FOLDER]\n"
                                     "       quendral-car-editor --help | --version\n";

inline constexpr char EditorHelp[] =
    "Usage: quendral-car-editor [FOLDER]\n"
    "Edits the car scripts of the racing game Quendral. Pick a racers folder in\n"
    "the drive and folder choosers and a car in the car list, change the engine\n"
    "block families it accepts (I4, V6, V8, V10), the driven axle, the front and\n"
    "rear ride heights and the range of wheel sizes, and press Save: the car's\n"
    "scripts/_main_.cfg is written anew and the previous version is kept beside\n"
    "it as scripts/_main_backup.cfg, and every earlier one in\n"
    "scripts/_main_history/. The Car menu previews a save and lists, compares and\n"
    "restores the versions.\n"
    "\n"
    "Given a FOLDER, the editor opens it at once, as though it had been picked in\n"
    "the folder chooser. Without one, nothing is read until a folder is picked.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n";

} // namespace quendral
