#include "Properties.h"

#include "carscript/FieldReader.h"

namespace {

std::size_t reads = 0;

} // namespace

// quendral::FieldReader::next(quendral::Field&) as the linker names it; the
// programs that count are linked with --wrap on it (see tests/CMakeLists.txt).
extern "C" bool __real__ZN8quendral11FieldReader4nextERNS_5FieldE(quendral::FieldReader* reader,
                                                                  quendral::Field& field);

extern "C" bool __wrap__ZN8quendral11FieldReader4nextERNS_5FieldE(quendral::FieldReader* reader,
                                                                  quendral::Field& field)
{
    ++reads;
    return __real__ZN8quendral11FieldReader4nextERNS_5FieldE(reader, field);
}

namespace quendral::test {

std::size_t fieldReads()
{
    return reads;
}

void resetFieldReads()
{
    reads = 0;
}

} // namespace quendral::test
