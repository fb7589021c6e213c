#pragma once
// Where a scrolled view must start so that it shows a span of the picture:
// the least movement that brings the whole span into view, or, when the
// span is longer than the view, fills the view with it.

namespace gf5 {

enum class SpanEnd { Either, First, Last };

// view: first visible position and visible length; [first, last) the span.
// A span longer than the view is shown from `keep` when that end is named
// (the edge the user is moving), else the view moves least.
inline int followSpan(int viewStart, int viewLength, int first, int last, SpanEnd keep = SpanEnd::Either)
{
    if (last - first > viewLength && keep == SpanEnd::First)
        return first;
    if (last - first > viewLength && keep == SpanEnd::Last)
        return last - viewLength;
    if (last - first <= viewLength) {
        if (first < viewStart)
            return first;
        if (last > viewStart + viewLength)
            return last - viewLength;
        return viewStart;
    }
    if (viewStart < first)
        return first;
    if (viewStart + viewLength > last)
        return last - viewLength;
    return viewStart;
}

// Scroll speed, in screen pixels per step, for a pointer at pos along a view
// of length: towards the start within `zone` of it or before it, towards the
// end likewise; faster the farther in or past. 0 elsewhere.
inline int edgeScrollStep(int pos, int length, int zone)
{
    constexpr int kMin = 2, kMax = 60;
    auto speed = [](int depth) { return depth / 2 < kMin ? kMin : depth / 2 > kMax ? kMax : depth / 2; };
    if (pos < zone)
        return -speed(zone - pos);
    if (pos >= length - zone)
        return speed(pos - (length - zone) + 1);
    return 0;
}

} // namespace gf5
