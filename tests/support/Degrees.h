// Angles as the tests write them: degrees, minutes and seconds.
#pragma once

/// The angle d° m′ s″ in degrees, as the sun computation keeps them.
inline float degrees(int d, int m, int s)
{
    return static_cast<float>(d + m / 60.0 + s / 3600.0);
}
