#pragma once

#include <QIODevice>

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::output {

// Comma-separated numbers as the headless commands write them: whole numbers as they are, other
// numbers in full precision (printf's %.17g, in the C locale whatever the user's locale), and
// "inf", "-inf" or "nan" for those that are not finite. Lines end in '\n'.
//
// The writer gathers its lines and hands them to the device 64 KiB at a time, so it suits the
// unbuffered device of an atomic write; a failed write is the device's to report.
class CsvWriter {
public:
    explicit CsvWriter(QIODevice& device)
        : m_device(device)
    {
    }
    ~CsvWriter() { flush(); }
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // A line of its own, such as the header "step,state_separation".
    void line(std::string_view text);
    // One field of the current row each.
    void whole(std::uint64_t value);
    void number(double value);
    // A field left empty: no value to give.
    void empty() { separate(); }
    // Ends the current row.
    void endRow();

    // The rows ended so far, the header line not counted.
    std::uint64_t rows() const { return m_rows; }
    // Hands what is gathered to the device.
    void flush();

private:
    void separate();

    QIODevice& m_device;
    std::string m_buffer;
    bool m_rowStarted = false;
    std::uint64_t m_rows = 0;
};

} // namespace quorvane::output
