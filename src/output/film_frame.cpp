#include "output/film_frame.h"

#include "output/chart_style.h"
#include "run/palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvane::output {

namespace {

// In logical pixels: the strip's height and its font's, large enough to read on a film shown
// at half its size.
constexpr int kStripHeight = 34;
constexpr int kFontPixels = 20;
// The least font size, in image pixels, a narrow picture's caption is shrunk to.
constexpr int kLeastFontPixels = 6;
// Between the caption's texts, and before the first, in ems.
constexpr double kGap = 1.5;
constexpr double kMargin = 0.75;

const QColor kStripColour(0, 0, 0);
const QColor kRuleColour(0x60, 0x60, 0x60); // the line between the picture and the strip
const QColor kTextColour(0xD8, 0xD8, 0xD8);
const QColor kEventColour(0xFF000000u | kPalette[static_cast<std::size_t>(kOrbit2Colour)]);

// The text with every digit made an 8, among the widest digits of a proportional font.
QString widest(QString text)
{
    for (QChar& c : text)
        if (c.isDigit())
            c = QLatin1Char('8');
    return text;
}

} // namespace

std::vector<CaptionText> captionTexts(const FilmCaption& caption)
{
    std::vector<CaptionText> texts;
    texts.push_back({QStringLiteral("step %1 of %2").arg(caption.step).arg(caption.steps)});
    if (caption.time)
        texts.push_back({QStringLiteral("t = %1").arg(QString::number(*caption.time, 'f', 2))});
    texts.push_back({QStringLiteral("separation %1")
                         .arg(std::isnan(caption.separation)
                                 ? QStringLiteral("\u2013")
                                 : QString::number(caption.separation, 'e', 2))});
    if (caption.partingStep != 0)
        texts.push_back({QStringLiteral("orbits part at step %1").arg(caption.partingStep), true});
    if (caption.departureStep != 0)
        texts.push_back({QStringLiteral("%1 the numbers at step %2")
                             .arg(caption.departed == 3
                                     ? QStringLiteral("both orbits leave")
                                     : QStringLiteral("orbit %1 leaves").arg(caption.departed))
                             .arg(caption.departureStep),
            true});
    return texts;
}

int FilmFrame::stripHeight(int scale) { return kStripHeight * scale; }

QSize FilmFrame::frameSize(QSize pictureSize, int scale, Strip strip)
{
    return strip == Strip::None
        ? pictureSize
        : QSize(pictureSize.width(), pictureSize.height() + stripHeight(scale));
}

bool FilmFrame::allocate(QSize pictureSize, int scale, Strip strip, const FilmCaption& last)
{
    m_frame = QImage();
    m_columns.clear();
    m_scale = scale;
    if (strip == Strip::None)
        return true;
    m_frame = QImage(frameSize(pictureSize, scale, strip), QImage::Format_RGB32);
    if (m_frame.isNull())
        return false;

    // The widest caption the run can have: its last step and time, the longest separation
    // and the parting.
    FilmCaption wide = last;
    wide.separation = -8.88e300;
    wide.partingStep = last.steps;
    wide.departureStep = 0;
    const std::vector<CaptionText> texts = captionTexts(wide);
    const auto measure = [&](int pixels, std::vector<double>* columns) {
        const QFontMetricsF plain(chartstyle::font(pixels));
        const QFontMetricsF bold(chartstyle::font(pixels, true));
        const double em = plain.height();
        double x = kMargin * em;
        for (const CaptionText& text : texts) {
            if (columns)
                columns->push_back(x);
            x += (text.isEvent ? bold : plain).horizontalAdvance(widest(text.text)) + kGap * em;
        }
        return x - kGap * em + kMargin * em;
    };
    int pixels = kFontPixels * scale;
    const double width = measure(pixels, nullptr);
    if (width > pictureSize.width())
        pixels = std::max(
            kLeastFontPixels, static_cast<int>(std::floor(pixels * pictureSize.width() / width)));
    m_font = chartstyle::font(pixels);
    m_eventFont = chartstyle::font(pixels, true);
    // The fixed texts keep their places; the events stand one after another from the first
    // one's place on.
    measure(pixels, &m_columns);
    return true;
}

const QImage& FilmFrame::compose(const QImage& picture, const FilmCaption& caption)
{
    if (m_frame.isNull())
        return picture;
    // A line at a time: the picture's lines may be longer than its pixels.
    const QImage rgb = picture.format() == QImage::Format_RGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    // A picture of another size than allocate() was given is cut to the frame, never read or
    // written beyond.
    const int lines = std::min(rgb.height(), m_frame.height() - stripHeight(m_scale));
    const auto lineBytes = static_cast<std::size_t>(std::min(rgb.width(), m_frame.width())) * 4;
    for (int y = 0; y < lines; ++y)
        std::memcpy(m_frame.scanLine(y), rgb.constScanLine(y), lineBytes);
    drawCaption(caption);
    return m_frame;
}

void FilmFrame::drawCaption(const FilmCaption& caption)
{
    const int height = stripHeight(m_scale);
    const int top = m_frame.height() - height;
    QPainter painter(&m_frame);
    painter.fillRect(0, top, m_frame.width(), height, kStripColour);
    painter.fillRect(0, top, m_frame.width(), m_scale, kRuleColour);
    const QFontMetricsF plain(m_font);
    const QFontMetricsF bold(m_eventFont);
    const double baseline
        = top + m_scale + (height - m_scale + plain.ascent() - plain.descent()) / 2;
    double x = 0;
    std::size_t column = 0;
    for (const CaptionText& text : captionTexts(caption)) {
        x = column < m_columns.size() ? m_columns[column++] : x;
        painter.setFont(text.isEvent ? m_eventFont : m_font);
        painter.setPen(text.isEvent ? kEventColour : kTextColour);
        painter.drawText(QPointF(x, baseline), text.text);
        x += (text.isEvent ? bold : plain).horizontalAdvance(text.text) + kGap * plain.height();
    }
}

} // namespace quorvane::output
