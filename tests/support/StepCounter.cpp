#include "Properties.h"

#include "carscript/FieldReader.h"

// quendral::FieldReader::next(quendral::Field&) as the linker names it; the
// programs that count are linked with --wrap on it (quendral_counted_reads).
extern "C" bool __real__ZN8quendral11FieldReader4nextERNS_5FieldE(quendral::FieldReader*, quendral::Field&);

static std::size_t reads = 0;

extern "C" bool __wrap__ZN8quendral11FieldReader4nextERNS_5FieldE(quendral::FieldReader* reader,
                                                                  quendral::Field& field)
{
    ++reads;
    return __real__ZN8quendral11FieldReader4nextERNS_5FieldE(reader, field);
}

std::size_t quendral::test::fieldReads() { return reads; }
void quendral::test::resetFieldReads() { reads = 0; }
