// The marks of a row's range on the position track, and what a trim button does to them.
#pragma once

// Which end of the range a trim button sets.
enum class TrimEnd { Start, End };

// A row's marked range in whole seconds, as the position track draws it.
struct TrimMarks {
    int start = 0;
    int end = 0;
};

// The marks after a trim button stored the track position `seconds` as its end of `marks`.
struct TrimMarkChange {
    TrimMarks marks;  // kept ordered: swapped when the end would come before the start
    bool redraw;      // false when the two meet: the bar keeps what it shows
};
TrimMarkChange SetTrimMark(TrimMarks marks, TrimEnd which, int seconds);
