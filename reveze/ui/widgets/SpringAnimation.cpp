#include "widgets/SpringAnimation.h"

#include <QtMath>

#include <cmath>

namespace ReveZE {

namespace {

// The distance left at the end of the animation.
constexpr qreal settleTolerance = 1e-3;

// The smallest ωt with (1 + ωt)·e^(−ωt) < settleTolerance.
qreal settledOmegaT()
{
    static const qreal value = [] {
        qreal x = 0;
        while ((1 + x) * std::exp(-x) >= settleTolerance)
            x += 0.01;
        return x;
    }();
    return value;
}

qreal criticallyDamped(qreal progress)
{
    if (progress >= 1)
        return 1;
    if (progress <= 0)
        return 0;
    const qreal omegaT = progress * settledOmegaT();
    return 1 - (1 + omegaT) * std::exp(-omegaT);
}

} // namespace

qreal SpringAnimation::position(qreal seconds, qreal response)
{
    if (seconds <= 0)
        return 0;
    const qreal omega = 2 * M_PI / response;
    const qreal omegaT = omega * seconds;
    return 1 - (1 + omegaT) * std::exp(-omegaT);
}

int SpringAnimation::durationMs(qreal response)
{
    const qreal omega = 2 * M_PI / response;
    return int(std::ceil(settledOmegaT() / omega * 1000));
}

QEasingCurve SpringAnimation::easing(qreal)
{
    // Progress runs over durationMs(response), so ωt = progress · settledOmegaT
    // whatever the response: one curve serves every critically damped spring.
    QEasingCurve curve;
    curve.setCustomType(&criticallyDamped);
    return curve;
}

} // namespace ReveZE
