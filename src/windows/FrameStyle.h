#pragma once

namespace quendral {

// Frames draw their caption on the border line, the first row of controls
// just below it, as the windows were laid out for; Qt's own styles put the
// caption above the line and would push the line into the first row.
inline constexpr char FrameStyleSheet[] =
    "QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 0.4em; padding: 0 2px; }"
    // Under a style sheet the lists would show no sign of the focus.
    "QListWidget, QTreeWidget { border: 1px solid palette(mid); }"
    "QListWidget:focus, QTreeWidget:focus { border: 1px solid palette(highlight); }";

} // namespace quendral
