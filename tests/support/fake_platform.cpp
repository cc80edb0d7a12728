#include "support/fake_platform.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace quorvane::test {

FakePlatform::FakePlatform()
{
    // The window's drawing area as designed, and an outer size with a frame and menu bar.
    setWindow(9795, 9225, 9915, 9990);
}

std::vector<Call> FakePlatform::callsOf(Call::Kind kind) const
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.kind == kind)
            out.push_back(c);
    return out;
}

std::vector<Call> FakePlatform::plotsOn(Surface surface) const
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.kind == Call::Kind::Plot && c.surface == surface)
            out.push_back(c);
    return out;
}

void FakePlatform::plot(Surface surface, float x, float y, Rgb colour)
{
    Call& c = record(Call::Kind::Plot);
    c.surface = surface;
    c.x = x;
    c.y = y;
    c.colour = colour;
}

void FakePlatform::clear(Surface surface)
{
    Call& c = record(Call::Kind::Clear);
    c.surface = surface;
}

void FakePlatform::setBackColor(Surface surface, Rgb colour)
{
    Call& c = record(Call::Kind::BackColor);
    c.surface = surface;
    c.colour = colour;
}

void FakePlatform::refresh(Surface surface)
{
    Call& c = record(Call::Kind::Refresh);
    c.surface = surface;
}

void FakePlatform::setPictureHeight(float twips)
{
    Call& c = record(Call::Kind::PictureHeight);
    c.x = twips;
}

void FakePlatform::setPictureWidth(float twips)
{
    Call& c = record(Call::Kind::PictureWidth);
    c.x = twips;
}

void FakePlatform::setPictureScaleHeight(float units)
{
    Call& c = record(Call::Kind::PictureScaleHeight);
    c.x = units;
}

void FakePlatform::setPictureScaleWidth(float units)
{
    Call& c = record(Call::Kind::PictureScaleWidth);
    c.x = units;
}

void FakePlatform::setCaption(std::string_view caption)
{
    Call& c = record(Call::Kind::Caption);
    c.text = std::string(caption);
}

std::string FakePlatform::inputBox(
    std::string_view prompt, std::string_view title, std::string_view defaultText)
{
    Call& c = record(Call::Kind::InputBox);
    c.text = std::string(prompt);
    c.title = std::string(title);
    c.extra = std::string(defaultText);
    if (answers.empty())
        return std::string(defaultText);
    const std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer.value_or(std::string());
}

std::optional<double> FakePlatform::toNumber(std::string_view text) const
{
    // Plain C-locale decimal text with optional surrounding blanks, finite only.
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FakePlatform::numberText(double value) const
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

void FakePlatform::messageBox(const Message& message)
{
    Call& c = record(Call::Kind::MessageBox);
    c.colour = static_cast<Rgb>(message.icon);
    c.text = std::string(message.text);
    c.title = std::string(message.title);
    c.extra = std::string(message.detail);
}

std::optional<std::string> FakePlatform::saveFileName(const SaveDialogRequest& request)
{
    Call& c = record(Call::Kind::SaveDialog);
    c.colour = request.flags;
    c.text = std::string(request.fileName);
    c.title = std::string(request.filter);
    c.extra = std::string(request.defaultExtension);
    if (saveAnswers.empty())
        return std::nullopt;
    std::optional<std::string> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakePlatform::writePicture(std::string_view fileName)
{
    Call& c = record(Call::Kind::WritePicture);
    c.text = std::string(fileName);
    return writeFailure;
}

void FakePlatform::processEvents()
{
    if (++m_pumps > pumpLimit)
        throw std::runtime_error("a run went on past the test's pump limit");
    if (onPump)
        onPump(m_pumps);
}

void FakePlatform::endProgram()
{
    m_ended = true;
    record(Call::Kind::EndProgram);
}

} // namespace quorvane::test
