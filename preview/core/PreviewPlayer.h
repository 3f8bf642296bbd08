// The preview player of the converter window: its play state, which the preview session keeps
// and the trim buttons read, and where its video goes in the pane.
#pragma once

#include <QRect>
#include <QSize>

// True from a successful start of the preview by the user until it is stopped, closed or
// reaches its end; one for the whole process. The trim buttons refuse while it is false.
extern bool PreviewPlaying;

// Where a video of `video` size goes in a pane of `pane` size: scaled to touch two opposite
// edges of the pane, keeping its aspect ratio, centred along the other axis.
QRect FitVideoIntoPane(QSize pane, QSize video);
