#include "preview/core/PreviewPlayer.h"

bool PreviewPlaying = false;

QRect FitVideoIntoPane(QSize pane, QSize video) {
    const int W = pane.width(), H = pane.height();
    const int w = video.width(), h = video.height();
    if (w <= 0 || h <= 0)
        return QRect();
    const double sx = double(W) / w;
    const double sy = double(H) / h;
    if (sx >= sy) {
        const int width = int(w * sy);
        return QRect((W - width) / 2, 0, width, H);
    }
    const int height = int(h * sx);
    return QRect(0, (H - height) / 2, W, height);
}
