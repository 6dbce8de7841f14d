// The fourteen winds-aloft bands and which of them a wind group covers.
#pragma once

namespace talvix {

// Band k spans [3000(k+1), 3000(k+2)) feet for k = 0 to 12; band 13 spans
// 42000 to 60000 feet inclusive. The lower of the two altitudes is the
// group's bottom, whichever field held it. A band takes a group whose range
// overlaps it, or, for a group of one altitude, the band holding it.
bool BandTakesGroup(int band, int firstAltitude, int secondAltitude);

}  // namespace talvix
