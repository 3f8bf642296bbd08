#include "preview/core/TrimMarks.h"

#include <utility>

TrimMarkChange SetTrimMark(TrimMarks marks, TrimEnd which, int seconds) {
    (which == TrimEnd::Start ? marks.start : marks.end) = seconds;
    if (marks.end < marks.start)
        std::swap(marks.start, marks.end);
    return {marks, marks.start != marks.end};
}
