// A film's frame: the run's picture untouched, with the caption strip below it, and what the
// caption says.

#include "output/film_frame.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <random>

namespace quorvane::output {
namespace {

// A picture of random colours, so that any pixel the caption touched shows.
QImage noise(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
    return picture;
}

// How many pixels of the frame's rows from `top` on are light grey text, and how many are
// clearly red.
struct StripPixels {
    int text = 0;
    int red = 0;
};

StripPixels stripPixels(const QImage& frame, int top)
{
    StripPixels pixels;
    for (int y = top; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb c = frame.pixel(x, y);
            if (qRed(c) > 150 && qGreen(c) > 150 && qBlue(c) > 150)
                ++pixels.text;
            if (qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60)
                ++pixels.red;
        }
    }
    return pixels;
}

FilmCaption lorenzAt(std::uint64_t step, std::uint64_t parting)
{
    FilmCaption caption;
    caption.step = step;
    caption.steps = 40000;
    caption.time = static_cast<double>(step - 1) * 0.0004;
    caption.separation = 0.0713;
    caption.partingStep = parting;
    return caption;
}

TEST(FilmFrame, HoldsThePictureUntouchedAboveTheCaptionStrip)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const QSize size(640 * scale, 480 * scale);
        const QImage picture = noise(size);
        const QImage before = picture.copy();
        FilmFrame frame;
        ASSERT_TRUE(frame.allocate(size, scale, FilmFrame::Strip::Caption, lorenzAt(40000, 0)));
        const QImage& composed = frame.compose(picture, lorenzAt(20467, 20289));

        // A strip of 34 logical pixels below the picture.
        ASSERT_EQ(composed.size(), QSize(size.width(), size.height() + 34 * scale));
        EXPECT_EQ(FilmFrame::frameSize(size, scale, FilmFrame::Strip::Caption), composed.size());
        EXPECT_EQ(composed.copy(QRect(QPoint(0, 0), size)), before);
        EXPECT_EQ(picture, before) << "the caption was drawn on the picture";
        const StripPixels strip = stripPixels(composed, size.height());
        EXPECT_GT(strip.text, 100 * scale * scale);
        EXPECT_GT(strip.red, 20 * scale * scale);
    }
}

TEST(FilmFrame, ShowsThePartingInOrbit2sColourOnlyOnceReached)
{
    const QSize size(640, 480);
    const QImage picture = noise(size);
    FilmFrame frame;
    ASSERT_TRUE(frame.allocate(size, 1, FilmFrame::Strip::Caption, lorenzAt(40000, 0)));
    EXPECT_EQ(stripPixels(frame.compose(picture, lorenzAt(20000, 0)), 480).red, 0);
    EXPECT_GT(stripPixels(frame.compose(picture, lorenzAt(20467, 20289)), 480).red, 20);
    // And from a strip that showed it, back to one that does not: every frame is drawn anew.
    EXPECT_EQ(stripPixels(frame.compose(picture, lorenzAt(20000, 0)), 480).red, 0);
}

TEST(CaptionTexts, NumbersWrittenWithAPointWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FilmCaption caption = lorenzAt(20467, 20289);
    caption.separation = 0.07382;
    std::vector<CaptionText> texts = captionTexts(caption);
    QLocale::setDefault(QLocale::c());
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "step 20467 of 40000");
    EXPECT_EQ(texts[1].text, "t = 8.19"); // 20466 steps of 0.0004: 8.1864
    EXPECT_EQ(texts[2].text, "separation 7.38e-02");
    EXPECT_EQ(texts[3].text, "orbits part at step 20289");
    EXPECT_FALSE(texts[0].isEvent || texts[1].isEvent || texts[2].isEvent);
    EXPECT_TRUE(texts[3].isEvent);

    // A map has no time; a separation not measured, and an orbit that left the numbers.
    FilmCaption map;
    map.step = 9;
    map.steps = 100;
    map.departureStep = 9;
    map.departed = 2;
    texts = captionTexts(map);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "step 9 of 100");
    EXPECT_EQ(texts[1].text, QStringLiteral("separation \u2013"));
    EXPECT_EQ(texts[2].text, "orbit 2 leaves the numbers at step 9");
    EXPECT_TRUE(texts[2].isEvent);
    map.departed = 3;
    EXPECT_EQ(captionTexts(map)[2].text, "both orbits leave the numbers at step 9");
}

} // namespace
} // namespace quorvane::output
