#include "support/fake_platform.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace quorvane::test {

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

std::string FakePlatform::inputBox(
    std::string_view prompt, std::string_view title, std::string_view defaultText)
{
    calls.push_back({.kind = K::InputBox,
        .text = std::string(prompt),
        .title = std::string(title),
        .extra = std::string(defaultText)});
    if (answers.empty())
        return std::string(defaultText);
    const std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer.value_or(std::string());
}

std::optional<double> FakePlatform::toNumber(std::string_view text) const
{
    // Plain C-locale decimal text; blanks around it are ignored, as the real conversion does.
    const auto first = text.find_first_not_of(' ');
    text = first == std::string_view::npos
        ? std::string_view()
        : text.substr(first, text.find_last_not_of(' ') - first + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()
        || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FakePlatform::numberText(double value) const
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::optional<std::string> FakePlatform::saveFileName(const SaveDialogRequest& request)
{
    calls.push_back({.kind = K::SaveDialog,
        .colour = request.flags,
        .text = std::string(request.fileName),
        .title = std::string(request.filter),
        .extra = std::string(request.defaultExtension)});
    if (saveAnswers.empty())
        return std::nullopt;
    const std::optional<std::string> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

void FakePlatform::processEvents()
{
    if (++m_pumps > pumpLimit)
        throw std::runtime_error("a run went on past the test's pump limit");
    if (onPump)
        onPump(m_pumps);
}

} // namespace quorvane::test
