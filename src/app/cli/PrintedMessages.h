#pragma once

#include "controls/MessagePresenter.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

namespace quendral::cli {

// Prints each message as "CAPTION: TEXT", after an optional prefix. The
// line break that a message box shows for a carriage return is printed as
// one.
class PrintedMessages final : public MessagePresenter
{
public:
    PrintedMessages(std::ostream& stream, std::string prefix) : m_stream(stream), m_prefix(std::move(prefix)) {}

    void showError(std::string_view caption, std::string_view text) override;

private:
    std::ostream& m_stream;
    std::string m_prefix;
};

} // namespace quendral::cli
