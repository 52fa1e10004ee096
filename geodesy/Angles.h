// Angle conversions between decimal degrees, radians and the packed notations in which every
// angle of the system is stored in files and shown to the user:
//   sexagesimal D.MMSS: integer part degrees, two decimals minutes, then seconds x 0.0001
//                       (30d15'42.5" is 30.15425); the sign of the number is the sign of the
//                       angle;
//   centesimal:         the same layout with 100 minutes a unit and 100 seconds a minute (gon,
//                       400 to the circle), so the packed number equals the decimal value.
// None of these throw; a non-finite input gives a non-finite result.
#pragma once

// The number pi, the one source of pi for the whole system.
extern const double PI;

// Decimal degrees -> packed D.MMSS. Seconds carry a bias of 1e-7" (1e-11 in the packed number)
// that keeps values like 30d15'42.5" from printing as ...41.99999; seconds within 5e-6" of 60
// carry into the minutes, 60 minutes into the degrees.
double DegreeToDms(double degrees);
// Packed D.MMSS -> decimal degrees. Minutes are read from the value rounded to 5 decimals,
// seconds from the unrounded value (so 30.599999999 gives 30.9999999972).
double DmsToDegree(double dms);
// Packed D.MMSS -> radians.
double DmsToRadian(double dms);
// Radians -> packed D.MMSS, sign kept.
double RadianToDms(double radians);
// Radians -> packed D.MMSS for printing with the given number of decimals (at least 4: whole
// seconds): the seconds are rounded to the last printed digit and carried into the minutes
// and degrees, so the printed value is always a valid one (12d59'59.99999" printed with 5
// decimals is 13.00000, never 12.59600). An angle that rounds to wrapDegrees (360 for an
// azimuth, 180 for the direction of an ellipse axis; 0: none) prints as 0. A value beyond the
// range of the rounding is converted as by RadianToDms(radians), and so is one printed with
// nine decimals or more, where that conversion's carry already keeps it valid.
double RadianToDms(double radians, int decimals, double wrapDegrees = 0.0);
// Decimal degrees -> radians.
double DegreeToRadian(const double& degrees);

// Centesimal twins (gon).
double gDegreeToDms(const double& gon);
double gDmsToDegree(const double& packed);
double gDmsToRadian(const double& packed);
double gDegreeToRadian(const double& gon);
// Radians -> packed centesimal of the magnitude: the sign is dropped, the result is >= 0.
double gRadianToDms(const double& radians);

// Plane azimuth of (dX north, dY east) in metres, radians in [0, 2 pi); 0 when both
// differences are below 1e-5 m.
double Azimuth(const double& dX, const double& dY);

inline double Square(double x) { return x * x; }
