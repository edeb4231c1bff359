#pragma once
// The rotor's three arms (120 degrees apart) as the dial shows them, and the
// count of passes of an arm through the zero position. Both are fed from the
// position reports; all arithmetic is on whole degrees.
#include <cstdint>

namespace zeltan {

class TMarker {
public:
    int32_t arm[3] = {0, 120, 240};

    // Sets all three arms from a report value in degrees (HexToAngle). The
    // arms turn the opposite way to the reported value.
    void Update(int32_t position);
};

class TCounter {
public:
    int32_t count = 0;
    uint32_t highMark = 0;  // last arm[0] strictly between 240 and 270; 0 = none
    uint32_t lowMark = 0;   // last arm[0] strictly between 30 and 120; 0 = none

    // Applies one new value of arm[0]: a pass through 0 counts once for each
    // mark that was set on the way there.
    void Update(int32_t a);
    void Clear();
    int32_t Count() const { return count; }
};

}  // namespace zeltan
