#pragma once

#include "support/form_fixture.h"

#include <span>
#include <string>
#include <vector>

namespace quorvane::test {

inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kRed = 0xFF0000;
// The fake window's drawing area.
inline constexpr double kW = 9795, kH = 9225;

// frm1 on the fake platform, with what the attractor tests ask of a run.
class AttractorRun : public FormFixture {
protected:
    // Chooses the menu entry with the given answers and stops its run with Escape at that pump.
    void run(
        std::string_view menu, long stopAtPump, std::deque<std::optional<std::string>> answers = {})
    {
        platform.answers = std::move(answers);
        atPump(stopAtPump, [this] { pressEscape(); });
        choose(menu);
    }

    std::vector<Call> orbitPlots(Surface surface, Rgb colour) const
    {
        std::vector<Call> out;
        for (const Call& c : platform.plotsOn(surface))
            if (c.colour == colour)
                out.push_back(c);
        return out;
    }

    // The prompts in order under one title with their default texts, then the window cleared,
    // pic1 cleared, the caption set and the run's first plot.
    void expectCommand(std::span<const std::string> texts, std::string_view title,
        std::span<const char* const> defaults, std::string_view caption) const
    {
        const auto boxes = platform.callsOf(Call::Kind::InputBox);
        ASSERT_EQ(boxes.size(), texts.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].text, texts[i]);
            EXPECT_EQ(boxes[i].title, title);
            EXPECT_EQ(boxes[i].extra, defaults[i % defaults.size()]);
        }
        const Call* after = &platform.calls[texts.size()];
        EXPECT_EQ(after[0].kind, Call::Kind::Clear);
        EXPECT_EQ(after[0].surface, Surface::Window);
        EXPECT_EQ(after[1].surface, Surface::Picture);
        EXPECT_EQ(after[2].kind, Call::Kind::Caption);
        EXPECT_EQ(after[2].text, caption);
        EXPECT_EQ(after[3].kind, Call::Kind::Plot);
    }

    // Every step drew orbit 1 at (x, y) and orbit 2 at (x2, y2), on both surfaces.
    void expectEveryStepAt(std::size_t steps, float x, float y, float x2, float y2) const
    {
        for (const Surface s : {Surface::Window, Surface::Picture}) {
            const auto green = orbitPlots(s, kGreen);
            const auto red = orbitPlots(s, kRed);
            ASSERT_EQ(green.size(), steps);
            ASSERT_EQ(red.size(), steps);
            for (std::size_t i = 0; i < steps; ++i) {
                EXPECT_EQ(green[i].x, x);
                EXPECT_EQ(green[i].y, y);
                EXPECT_EQ(red[i].x, x2);
                EXPECT_EQ(red[i].y, y2);
            }
        }
    }
};

} // namespace quorvane::test
