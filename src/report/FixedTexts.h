// The cycle's fixed messages, shown in place of a report.
#pragma once

namespace FixedText {
inline constexpr char noTargetAirport[] = "NO TARGET AIRPORT";
inline constexpr char noNetworkConnection[] = "NO NETWORK CONNECTION";
} // namespace FixedText
