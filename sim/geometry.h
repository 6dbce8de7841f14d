// Distances and angle ranges of the simulator's world. Positions are in
// arc-seconds; one arc-minute of latitude is one nautical mile (6076 ft).
#pragma once

namespace sim {

constexpr double kFeetPerNauticalMile = 6076.0;

// Great-circle distance in feet on a sphere where one arc-minute of a great
// circle is one nautical mile. Longitudes may be signed or 0..360 east.
double DistanceFeet(double lat1ArcSec, double lon1ArcSec, double lat2ArcSec,
                    double lon2ArcSec);

float Normalise360(float degrees);  // [0, 360)
float Normalise180(float degrees);  // [-180, 180)

}  // namespace sim
