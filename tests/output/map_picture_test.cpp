// The picture of a map: its colour scale read as a greyscale print, a reader with red-green
// colour blindness and a reader of hues would read it, worked out here from the standard
// formulas; and each value's block, the hatching and the zero contour where the values put them.

#include "output/diverging_scale.h"
#include "output/map_picture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace quorvane::output {
namespace {

using Linear = std::array<double, 3>;

// sRGB's transfer function, undone.
Linear linear(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return {channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c))};
}

// Relative luminance (ITU-R BT.709), what the eye sees as lightness.
double luminance(const Linear& c) { return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]; }

// The grey a greyscale print or screen makes of a colour (ITU-R BT.601 luma).
double luma(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

// What a reader with deuteranopia sees: Machado, Oliveira and Fernandes (2009), severity 1.
Linear deuteranope(const Linear& c)
{
    return {0.367322 * c[0] + 0.860646 * c[1] - 0.227968 * c[2],
        0.280085 * c[0] + 0.672501 * c[1] + 0.047413 * c[2],
        -0.011820 * c[0] + 0.042940 * c[1] + 0.968881 * c[2]};
}

constexpr int kSamples = 400;
double sample(int i) { return -1 + 2.0 * i / kSamples; }

TEST(DivergingScale, GrowsLighterFromTheMostNegativeToTheMostPositiveValue)
{
    // Lighter over every fortieth of the scale; and from one sample to the next never darker
    // by more than rounding to 8 bits a channel makes (one level of blue).
    const auto compare = [](int from, int to, double slack) {
        const QRgb before = divergingColour(sample(from));
        const QRgb after = divergingColour(sample(to));
        const std::string where
            = std::to_string(sample(from)) + " to " + std::to_string(sample(to));
        EXPECT_LT(luminance(linear(before)), luminance(linear(after)) + slack / 256) << where;
        EXPECT_LT(luma(before), luma(after) + slack / 2) << "in greyscale, " << where;
        EXPECT_LT(luminance(deuteranope(linear(before))),
            luminance(deuteranope(linear(after))) + slack / 256)
            << "to a deuteranope, " << where;
    };
    for (int i = 1; i <= kSamples; ++i)
        compare(i - 1, i, 1);
    for (int i = kSamples / 40; i <= kSamples; ++i)
        compare(i - kSamples / 40, i, 0);
    // From end to end the lightness spans most of what a screen shows.
    EXPECT_LT(luma(divergingColour(-1)), 60);
    EXPECT_GT(luma(divergingColour(1)), 225);
}

TEST(DivergingScale, IsBlueBelowZeroAndWarmAboveItAlsoToADeuteranope)
{
    for (int i = 0; i <= kSamples; ++i) {
        const double t = sample(i);
        if (t == 0)
            continue;
        const Linear seen = linear(divergingColour(t));
        const Linear deutan = deuteranope(seen);
        // Blue against yellow: blue beyond the mean of red and green, or short of it.
        const double blueness = seen[2] - (seen[0] + seen[1]) / 2;
        const double deutanBlueness = deutan[2] - (deutan[0] + deutan[1]) / 2;
        if (t < 0) {
            EXPECT_GT(seen[2], seen[0]) << t;
            EXPECT_GT(blueness, 0) << t;
            EXPECT_GT(deutanBlueness, 0) << t;
        } else {
            EXPECT_GT(seen[0], seen[2]) << t;
            EXPECT_LT(blueness, 0) << t;
            EXPECT_LT(deutanBlueness, 0) << t;
        }
    }
}

// Zero is a border: just below and just above it the colours differ in lightness by a step a
// greyscale print still shows.
TEST(DivergingScale, StepsInLightnessAtZero)
{
    const double below = luma(divergingColour(-1e-9));
    const double above = luma(divergingColour(1e-9));
    EXPECT_GT(above - below, 12);
    EXPECT_EQ(divergingColour(0), divergingColour(-1e-9)) << "zero is order's side";
    EXPECT_EQ(divergingColour(-5), divergingColour(-1));
    EXPECT_EQ(divergingColour(5), divergingColour(1));
}

// The hatching of a value without an exponent is two neutral greys, a pattern, and no colour of
// the scale is neutral.
TEST(DivergingScale, HatchesNoValueInGreysThatNoValueHas)
{
    for (const QRgb grey : {kNoValueLight, kNoValueDark})
        EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
    EXPECT_GT(luma(kNoValueLight) - luma(kNoValueDark), 80);
    for (int i = 0; i <= kSamples; ++i) {
        const QRgb c = divergingColour(sample(i));
        const int spread
            = std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
        EXPECT_GE(spread, 12) << sample(i);
    }
    int dark = 0;
    for (int x = 0; x < 6; ++x)
        dark += noValueColour(x, 10) == kNoValueDark ? 1 : 0;
    EXPECT_EQ(dark, 2) << "stripes two pixels wide, six apart";
}

TEST(ScaleRange, SpansTheValuesLeavingOutliersBeyondItsEnds)
{
    std::vector<float> values;
    for (int i = 0; i <= 1000; ++i)
        values.push_back(static_cast<float>(-1 + 3.0 * i / 1000)); // -1 to 2
    values.push_back(-400);
    values.push_back(std::numeric_limits<float>::quiet_NaN());
    ScaleRange range = scaleRange(values);
    EXPECT_NEAR(range.least, -1, 0.02) << "one outlier in 1002 values is beyond the end";
    EXPECT_NEAR(range.most, 2, 0.02);
    EXPECT_TRUE(range.belowLeast);
    EXPECT_EQ(range.position(range.least), -1);
    EXPECT_EQ(range.position(0), 0);
    EXPECT_EQ(range.position(range.most / 2), 0.5);

    // A side without values mirrors the other; none at all gives -1 to 1.
    range = scaleRange(std::vector<float> {0.5f, 1.5f, 3.0f});
    EXPECT_EQ(range.least, -3);
    EXPECT_EQ(range.most, 3);
    EXPECT_FALSE(range.belowLeast || range.aboveMost);
    range = scaleRange(std::vector<float> {-0.5f, -2.0f});
    EXPECT_EQ(range.most, 2);
    range = scaleRange(std::vector<float> {std::numeric_limits<float>::quiet_NaN()});
    EXPECT_EQ(range.least, -1);
    EXPECT_EQ(range.most, 1);
    // Minus infinity, a companion that collapsed onto orbit 1, lies beyond the cold end.
    range = scaleRange(std::vector<float> {-1.0f, 1.0f, -std::numeric_limits<float>::infinity()});
    EXPECT_EQ(range.least, -1);
    EXPECT_TRUE(range.belowLeast);
}

// A map of 3 x 2 values:
//   row 1 (top):     1   2   none
//   row 0 (bottom): -2  -1   0
class MapPictureTest : public ::testing::Test {
protected:
    MapPicture map()
    {
        MapPicture m;
        m.columns = 3;
        m.rows = 2;
        m.values = {-2, -1, 0, 1, 2, std::numeric_limits<float>::quiet_NaN()};
        m.xFirst = 0;
        m.xLast = 10;
        m.yFirst = 5;
        m.yLast = 6;
        m.title = QStringLiteral("A title\nSecond line");
        m.xLabel = QStringLiteral("b");
        m.yLabel = QStringLiteral("a");
        m.scaleLabel = QStringLiteral("lambda");
        m.noValueLabel = QStringLiteral("no exponent");
        m.zeroLabel = QStringLiteral("zero");
        return m;
    }

    // The pixel at the middle of the block `column` slots from the left and `row` from the
    // bottom.
    static QPoint middle(const QRect& area, int block, int column, int row)
    {
        return {area.left() + column * block + block / 2, area.bottom() - row * block - block / 2};
    }

    static void expectColour(QRgb seen, QRgb expected)
    {
        EXPECT_NEAR(qRed(seen), qRed(expected), 2);
        EXPECT_NEAR(qGreen(seen), qGreen(expected), 2);
        EXPECT_NEAR(qBlue(seen), qBlue(expected), 2);
    }
};

TEST_F(MapPictureTest, DrawsEachValueAsASquareBlockRowZeroAtTheBottom)
{
    const MapPicture m = map();
    const int block = blockSize(3, 2);
    EXPECT_EQ(block, 320); // 960 / 3 across, 720 / 2 = 360 up: the smaller
    EXPECT_EQ(blockSize(400, 300), 2);
    EXPECT_EQ(blockSize(1920, 1080), 1);
    const QImage image = drawMap(m);
    const QRect area = mapArea(m);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(area.size(), QSize(3 * block, 2 * block));
    EXPECT_TRUE(image.rect().contains(area));
    EXPECT_GT(area.top(), 40) << "room for two lines of title";

    // Values -2 to 2: the scale's ends are -2 and 2.
    expectColour(image.pixel(middle(area, block, 0, 0)), divergingColour(-1));
    expectColour(image.pixel(middle(area, block, 1, 0)), divergingColour(-0.5));
    expectColour(image.pixel(middle(area, block, 2, 0)), divergingColour(0));
    expectColour(image.pixel(middle(area, block, 0, 1)), divergingColour(0.5));
    expectColour(image.pixel(middle(area, block, 1, 1)), divergingColour(1));
    // No value: the hatching, a grey of the two.
    for (int dx = 0; dx < 6; ++dx) {
        const QPoint p = middle(area, block, 2, 1) + QPoint(dx, 0);
        EXPECT_EQ(image.pixel(p), noValueColour(p.x(), p.y()));
    }
}

TEST_F(MapPictureTest, MirrorsARangeThatRunsDownwards)
{
    MapPicture m = map();
    m.xFirst = 10;
    m.xLast = 0;
    m.yFirst = 6;
    m.yLast = 5;
    const QImage image = drawMap(m);
    const QRect area = mapArea(m);
    const int block = blockSize(3, 2);
    // Column 0 now at the right, row 0 at the top.
    expectColour(image.pixel(middle(area, block, 2, 1)), divergingColour(-1));
    expectColour(image.pixel(middle(area, block, 1, 1)), divergingColour(-0.5));
    expectColour(image.pixel(middle(area, block, 2, 0)), divergingColour(0.5));
    expectColour(image.pixel(middle(area, block, 1, 0)), divergingColour(1));
    const QPoint none = middle(area, block, 0, 0);
    EXPECT_EQ(image.pixel(none), noValueColour(none.x(), none.y()));
}

// The zero contour runs between a block above zero and one at or below it, and nowhere else.
TEST_F(MapPictureTest, DrawsTheZeroContourBetweenOrderAndChaos)
{
    const MapPicture m = map();
    const QImage image = drawMap(m);
    const QRect area = mapArea(m);
    const int block = blockSize(3, 2);
    const int between = area.top() + block; // the edge between the two rows
    const auto isLine = [&](QPoint p) { return image.pixel(p) == qRgb(0, 0, 0); };
    // -2 below 1, -1 below 2: a line; 0 below no value: none.
    EXPECT_TRUE(isLine({middle(area, block, 0, 0).x(), between}));
    EXPECT_TRUE(isLine({middle(area, block, 1, 0).x(), between}));
    EXPECT_FALSE(isLine({middle(area, block, 2, 0).x(), between}));
    // Along row 0 all three are order: no line between them; along row 1, 1 beside 2: none.
    EXPECT_FALSE(isLine({area.left() + block, middle(area, block, 0, 0).y()}));
    EXPECT_FALSE(isLine({area.left() + 2 * block, middle(area, block, 0, 0).y()}));
    EXPECT_FALSE(isLine({area.left() + block, middle(area, block, 0, 1).y()}));
}

// Values across from -1.7e308 to 1.7e308: their edges lie beyond the largest double, yet the
// tick at 0 stands below the middle of the middle column.
TEST_F(MapPictureTest, PlacesTicksOnARangeWiderThanADoubleHolds)
{
    MapPicture m = map();
    m.xFirst = -1.7e308;
    m.xLast = 1.7e308;
    const QImage image = drawMap(m);
    const QRect area = mapArea(m);
    const int centre = middle(area, blockSize(3, 2), 1, 0).x();
    const int below = area.bottom() + 4;
    EXPECT_TRUE(image.pixel(centre - 1, below) == qRgb(0, 0, 0)
        || image.pixel(centre, below) == qRgb(0, 0, 0))
        << "no tick below the middle column";
}

TEST_F(MapPictureTest, DrawsNothingForValuesThatDoNotFillTheMap)
{
    MapPicture m = map();
    m.values.pop_back();
    EXPECT_TRUE(drawMap(m).isNull());
    m.columns = 0;
    EXPECT_TRUE(drawMap(m).isNull());
}

} // namespace
} // namespace quorvane::output
