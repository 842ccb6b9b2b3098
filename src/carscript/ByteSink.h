#pragma once

#include <string>
#include <string_view>

namespace quendral {

// Where written script bytes go: a file being written, or memory.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // Returns false when the bytes could not be written.
    virtual bool write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink
{
public:
    bool write(std::string_view bytes) override
    {
        data.append(bytes);
        return true;
    }

    std::string data;
};

} // namespace quendral
