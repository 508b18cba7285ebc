#pragma once

// A critically damped spring (damping fraction 1.0) as an easing curve, for
// the animations ReveZE describes by a spring's response. The position of
// such a spring released at 0 towards 1 is
//
//     x(t) = 1 − (1 + ωt)·e^(−ωt),   ω = 2π / response,
//
// which never overshoots. It reaches 1 only in the limit; the animation
// lasts until the remaining distance is below one part in a thousand and
// then lands exactly on 1.

#include <QEasingCurve>

namespace ReveZE {

class SpringAnimation
{
public:
    // The response of the filter pill highlight, in seconds.
    static constexpr qreal pillResponse = 0.28;

    // The spring's position at time `seconds` for a response.
    static qreal position(qreal seconds, qreal response);
    // How long an animation with that response lasts, in milliseconds.
    static int durationMs(qreal response);
    // The easing curve of an animation of durationMs(response): progress
    // p ∈ [0, 1] maps to position(p · duration); p = 1 maps to exactly 1.
    static QEasingCurve easing(qreal response);
};

} // namespace ReveZE
