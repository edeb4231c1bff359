#pragma once
// The stand-in's model of the motor controller: it answers the wire protocol
// byte by byte and produces position reports while the rotor spins. No I/O
// and no clock here; the session (session.h) feeds it bytes and asks for
// reports at the report rate. The rotor's motion is called its spin here:
// "turn" names the dial's geometry in the program.
//
// Commands understood: "3+" (reply "3+" and the 13 working bytes), "4+" and
// 13 bytes (replace the working block), "5+" (store it), "7+" (reload the
// stored block), "6+" (reply "6+" and 22 bytes of version text, zero padded),
// "8+" (stop), "9+" (reply the state character and "V"), "n" / "x" (spin
// left / right, answered "n" / "x"). Another digit before "+" is answered
// "?"; any other byte is ignored.
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/data.h"

namespace zeltan::standin {

enum class Rotation { kStopped, kReset, kLeft, kRight };

class Controller {
public:
    explicit Controller(std::string versionText);

    // One received byte; the bytes to send in reply (often none).
    std::string Feed(uint8_t byte);
    // The next position report ("1A3#"), after moving the rotor one step in
    // its direction (right when stopped).
    std::string NextReport();

    void Spin(Rotation rotation) { rotation_ = rotation; }
    Rotation rotation() const { return rotation_; }
    bool spinning() const { return rotation_ == Rotation::kLeft || rotation_ == Rotation::kRight; }
    void set_step(int step) { step_ = step; }
    // The factory defaults, both working and stored.
    static TData FactoryBlock();

    TData working;
    TData stored;

private:
    std::string Command(char digit);

    std::string versionText_;
    Rotation rotation_ = Rotation::kStopped;
    int position_ = 0;  // 0 ... 1023
    int step_ = 8;
    char pendingDigit_ = 0;   // a digit waiting for its "+"
    int blockBytesLeft_ = 0;  // bytes of a "4+" block still to come
};

// "say" text: the bytes of text with \xHH, \n, \r, \t, \0 and \\ escapes
// replaced; an escape that is not one of these stays as it is.
std::string Unescape(std::string_view text);

}  // namespace zeltan::standin
