#include "carscript/LineWriter.h"

#include "carscript/ByteSink.h"

namespace quendral {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t BufferSize = 256 * 1024;

} // namespace

// The buffer grows with the output rather than taking its full size up
// front: most car scripts are a few kilobytes.
LineWriter::LineWriter(ByteSink& sink) : m_sink(sink) {}

void LineWriter::writeLine(std::string_view text)
{
    endOpenLine();
    append(text);
    append(LineEnd);
}

void LineWriter::copy(const Field& field)
{
    const bool joinsOpenLine = m_openLine && m_openLine->end == FieldEnd::Comma
        && m_openLine->number + 1 == field.number;
    if (joinsOpenLine) {
        appendFromScript(m_openLine->trailing);
        appendFromScript(m_openLine->delimiter);  // the comma
        appendFromScript(field.indent);
    } else {
        endOpenLine();
        if (field.startsLine)
            appendFromScript(field.indent);
    }
    appendFromScript(field.text);
    m_openLine = field;
}

bool LineWriter::finish()
{
    endOpenLine();
    flushRun();
    flushBuffer();
    return !m_failed;
}

void LineWriter::endOpenLine()
{
    if (!m_openLine)
        return;
    // A line copied to its end keeps its trailing blanks; one broken after a
    // comma ends at its text.
    if (m_openLine->end != FieldEnd::Comma)
        appendFromScript(m_openLine->trailing);
    if (m_openLine->delimiter == LineEnd)
        appendFromScript(m_openLine->delimiter);
    else
        append(LineEnd);
    m_openLine.reset();
}

void LineWriter::appendFromScript(std::string_view bytes)
{
    if (bytes.empty())
        return;
    // Bytes that follow the run directly in memory are the very bytes that
    // copying them would write.
    if (!m_run.empty() && m_run.data() + m_run.size() == bytes.data()) {
        m_run = std::string_view(m_run.data(), m_run.size() + bytes.size());
        return;
    }
    flushRun();
    m_run = bytes;
}

void LineWriter::append(std::string_view bytes)
{
    flushRun();
    if (m_buffer.size() + bytes.size() > BufferSize)
        flushBuffer();
    if (bytes.size() >= BufferSize) {
        if (!m_failed && !m_sink.write(bytes))
            m_failed = true;
        return;
    }
    m_buffer.append(bytes);
}

void LineWriter::flushRun()
{
    if (m_run.empty())
        return;
    const std::string_view run = m_run;
    m_run = {};
    append(run);
}

void LineWriter::flushBuffer()
{
    if (!m_buffer.empty() && !m_failed && !m_sink.write(m_buffer))
        m_failed = true;
    m_buffer.clear();
}

} // namespace quendral
