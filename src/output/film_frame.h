#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace quorvane::output {

// What the caption strip below a film's picture says of the step the picture shows.
struct FilmCaption {
    std::uint64_t step = 0; // the steps the picture shows
    std::uint64_t steps = 0; // the run's steps
    std::optional<double> time; // the model time at the step, for the flows
    // The two orbits' state separation at the step; not a number where it was not measured.
    double separation = std::numeric_limits<double>::quiet_NaN();
    // The step where the orbits part, once the picture's step has reached it; 0 before.
    std::uint64_t partingStep = 0;
    // The step where an orbit left the numbers, once reached, and which: 1, 2, or 3 for both.
    std::uint64_t departureStep = 0;
    int departed = 0;
};

// One piece of a caption's text: a figure, or an event, which stands out in orbit 2's colour.
struct CaptionText {
    QString text;
    bool isEvent = false;
};

// The caption's texts in the order they stand, left to right: "step 20289 of 40000",
// "t = 8.12" for a flow, "separation 7.13e-02", and the events the step has reached, "orbits
// part at step 20289" and an orbit that leaves the numbers, in orbit 2's colour.
std::vector<CaptionText> captionTexts(const FilmCaption& caption);

// A film's frames: the run's picture as it is, with a caption strip below it or without one.
// The strip is drawn with QPainter on the frame, never on the picture, which needs a
// QGuiApplication (the headless commands run on the offscreen platform).
class FilmFrame {
public:
    enum class Strip : std::uint8_t { Caption, None };

    // The height in image pixels of the caption strip below a picture drawn at `scale` image
    // pixels per logical pixel.
    static int stripHeight(int scale);
    // The size of the frames for pictures of `pictureSize` image pixels.
    static QSize frameSize(QSize pictureSize, int scale, Strip strip);

    // Makes frames for pictures of `pictureSize` image pixels drawn at `scale`, whose captions
    // go up to `last`, the caption of the run's last step, so that the numbers keep their
    // places as they grow. A picture too narrow for the caption gets a smaller font. Returns
    // false when the frame's image cannot be allocated.
    bool allocate(QSize pictureSize, int scale, Strip strip, const FilmCaption& last);

    // The frame: `picture`, untouched, with the caption strip below it. Without a strip the
    // frame is the picture itself. The picture must have the size allocate() was given.
    const QImage& compose(const QImage& picture, const FilmCaption& caption);

private:
    void drawCaption(const FilmCaption& caption);

    QImage m_frame; // with a strip only
    int m_scale = 1;
    QFont m_font;
    QFont m_eventFont; // bold, so that its colour survives video's coarser colour
    // Where each of the caption's texts starts, in the order captionTexts() gives them.
    std::vector<double> m_columns;
};

} // namespace quorvane::output
