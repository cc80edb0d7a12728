#include "output/csv_writer.h"

#include <charconv>
#include <cmath>

namespace quorvane::output {

namespace {

constexpr std::size_t kFlushSize = 64 * 1024;

} // namespace

void CsvWriter::line(std::string_view text)
{
    m_buffer.append(text);
    m_buffer += '\n';
}

void CsvWriter::separate()
{
    if (m_rowStarted)
        m_buffer += ',';
    m_rowStarted = true;
}

void CsvWriter::whole(std::uint64_t value)
{
    separate();
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    m_buffer.append(text, end);
}

void CsvWriter::number(double value)
{
    separate();
    if (std::isnan(value)) {
        m_buffer += "nan"; // never "-nan": its sign means nothing
        return;
    }
    // to_chars with a precision is printf in the C locale.
    char text[32];
    const auto end
        = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17).ptr;
    m_buffer.append(text, end);
}

void CsvWriter::empty() { separate(); }

void CsvWriter::endRow()
{
    m_buffer += '\n';
    m_rowStarted = false;
    ++m_rows;
    if (m_buffer.size() >= kFlushSize)
        flush();
}

void CsvWriter::flush()
{
    if (m_buffer.empty())
        return;
    m_device.write(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
    m_buffer.clear();
}

} // namespace quorvane::output
