// The load on arbitrary script bytes: it ends in a number of reads linear
// in the script, leaves every control inside its range, clears only the
// engine check boxes, and gives the same result for the same script.

#include "FuzzCheck.h"
#include "StepCounter.h"

#include "carscript/ScriptLoader.h"
#include "controls/TextNumber.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"

#include <cstdint>
#include <string>
#include <vector>

using quendral::EditingControls;
using quendral::fuzz::check;

namespace {

class CountingMessages final : public quendral::MessagePresenter
{
public:
    void showError(std::string_view caption, std::string_view) override { captions.emplace_back(caption); }
    std::vector<std::string> captions;
};

struct Shown
{
    std::vector<int> checks;
    int drive;
    int front;
    int rear;
    std::string smallest;
    std::string largest;
    bool operator==(const Shown&) const = default;
};

Shown shownBy(const EditingControls& controls)
{
    Shown shown{{}, controls.driveSystem.selected(), controls.frontHeight.value(), controls.rearHeight.value(),
                controls.smallestWheel.text(), controls.largestWheel.text()};
    for (const quendral::CheckBox* box : controls.engineChecks())
        shown.checks.push_back(box->value());
    return shown;
}

// A previous car's settings, as the window would still show them.
void showPreviousCar(EditingControls& controls)
{
    for (quendral::CheckBox* box : controls.engineChecks())
        box->setValue(1);
    controls.rearDrive.setValue(true);
    controls.frontHeight.setValue(17);
    controls.rearHeight.setValue(23);
    controls.smallestWheel.setText("15");
    controls.largestWheel.setText("19");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view script(reinterpret_cast<const char*>(data), size);

    CountingMessages messages;
    EditingControls fresh(messages);
    quendral::fuzz::resetFieldReads();
    quendral::loadCarSettings(script, fresh);
    // Each successful read consumes a byte, but for the field after a
    // final comma; reads past the end are a few per wheel block at most.
    check(quendral::fuzz::fieldReads() <= size + 16, "the load reads in linear steps");

    const Shown shown = shownBy(fresh);
    for (const int value : shown.checks)
        check(value == 0 || value == 1, "check boxes are ticked or not");
    check(shown.front >= EditingControls::RideHeightMinimum && shown.front <= EditingControls::RideHeightMaximum
              && shown.rear >= EditingControls::RideHeightMinimum
              && shown.rear <= EditingControls::RideHeightMaximum,
          "ride heights stay on their sliders");
    const quendral::TextNumber largest = quendral::TextNumber::parse(shown.largest);
    check(largest.kind != quendral::TextNumber::Kind::AboveRange
              && (largest.kind != quendral::TextNumber::Kind::Number
                  || largest.value <= EditingControls::LargestWheelSize),
          "the largest wheel size box never holds more than 21");
    for (const std::string& caption : messages.captions)
        check(caption == "Max size", "the load shows no message but the largest size check");
    check(shown.smallest.size() <= 2 && shown.largest.size() <= 2, "wheel sizes are two characters");

    // Over a previous car the engine boxes come out the same, and every
    // other control shows either the new car's value or the previous one.
    EditingControls previous(messages);
    showPreviousCar(previous);
    const Shown before = shownBy(previous);
    quendral::loadCarSettings(script, previous);
    const Shown after = shownBy(previous);
    check(after.checks == shown.checks, "the engine boxes depend on the script alone");
    check(after.drive == shown.drive || after.drive == before.drive, "the drive is the script's or kept");
    check(after.front == shown.front || after.front == before.front, "the front height is the script's or kept");
    check(after.rear == shown.rear || after.rear == before.rear, "the rear height is the script's or kept");
    check(after.smallest == shown.smallest || after.smallest == before.smallest,
          "the smallest size is the script's or kept");
    check(after.largest == shown.largest || after.largest == before.largest,
          "the largest size is the script's or kept");

    // The same script read again gives the same controls.
    EditingControls again(messages);
    quendral::loadCarSettings(script, again);
    check(shownBy(again) == shown, "the load is repeatable");
    return 0;
}
