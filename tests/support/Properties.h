#pragma once

// What must hold for any script, checked by the fuzz targets on the inputs
// they make and by the tests on seeded random scripts and the golden cases.

#include "settings/CarSettings.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quendral::test {

// Thrown when a property does not hold: a fuzz target ends on it as a
// finding, a test reports it.
struct PropertyViolated : std::logic_error
{
    using std::logic_error::logic_error;
};

// What `property` found wrong, empty when it held.
template <typename Property>
std::string violation(Property property)
{
    try {
        property();
        return {};
    } catch (const PropertyViolated& violated) {
        return violated.what();
    }
}

// The fields and their delimiters give the script back byte for byte, each
// field trimmed and numbered, one read per field and one at the end.
void checkFieldReader(std::string_view script);

// The load reads in linear steps, keeps every control in its range, shows
// no message but the largest size's check, gives the same engine boxes over
// a previous car and keeps or replaces every other control, repeatably.
void checkLoad(std::string_view script);

// The rewrite reads and writes in linear steps, fails exactly when the
// reference model says the script ends inside a part that must be whole,
// keeps every line it does not take over byte for byte and in order, and
// a second save changes nothing. Returns the new script when it succeeds.
std::optional<std::string> checkRewrite(std::string_view script, const CarSettings& settings);

// A well-formed script, saved, loads back with exactly the settings saved.
void checkRoundTrip(std::string_view wellFormedScript, const CarSettings& settings);

// The lines of a script that hold nothing the editor recognises.
std::vector<std::string> plainLines(std::string_view script);

// Every call of FieldReader::next since the last reset, counted through the
// linker's --wrap, so that the core carries no hook of its own.
std::size_t fieldReads();
void resetFieldReads();

} // namespace quendral::test
