// The arithmetic of a track bar, apart from its widget: where the thumb stands for a value,
// which value a point of the track means, and how a page press, the held repeat and the keys
// move the value. Lengths run along the track (x for a horizontal track, y for a vertical one).
#pragma once

// Offset of the thumb's leading edge: (position - min) x span div (high - min), where span is the
// track's length minus the thumb's; 0 when high = min. A tick for a value stands at this offset
// plus half the thumb.
int ThumbOffset(long long position, int min, int high, int span);

// The value a point means: (point - thumb div 2) x (high - min) / span, the product in integers
// and the division in floating point, rounded to the nearest with halves to the even neighbour,
// plus min, clamped to min..high; min when the thumb fills the track.
int ValueAtPoint(int point, int thumbLength, int trackLength, int min, int high);

// A press beside the thumb moves one page towards the pressed value and never past it: up when
// the point lies at or after the thumb's leading edge, else down.
long long PageTowards(int position, int pressed, bool afterThumb, int page);

// A tick of the held repeat: three pages towards the value under the pointer, never past it.
long long RepeatTowards(int position, int pointed, int page);

// The value a key asks for (Page Up/Down a page, Home/End the range's ends, the arrows a line),
// clamped to min..high; false for any other key.
bool KeyTarget(int key, int position, int page, int line, int min, int high, int& target);
