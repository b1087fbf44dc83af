#pragma once
// Compares a picture a test wrote with the reference PNG committed under
// tests/references, so that a change in what the screen shows fails a test.
//
// A pixel differs when one of its channels (red, green, blue, alpha) is further than
// tolerance.channel from the reference's; the pictures match when they have the same
// size and at most tolerance.pixels pixels differ. On a mismatch the difference image
// (differing pixels red over a faded copy of the reference) is written beside the
// output as NAME.diff.png.
//
// With TRELLAN_UPDATE_REFERENCES=1 in the environment, a mismatching or missing
// reference is replaced by the output instead, and the comparison passes.

#include <string>

namespace PixelReference {

struct Tolerance {
    int channel = 8;
    int pixels = 16;
};

struct Result {
    bool matches = false;
    // What was found, with the paths involved; empty when the pictures are identical.
    std::string message;
};

Result Compare(const std::string& outputPng, const std::string& referencePng, Tolerance tolerance = {});

// Where a test writes picture NAME (for example "UI/message-dialog.png"): under
// pictures/ in the build tree, its folder made.
std::string OutputPath(const std::string& name);
// Compares OutputPath(name) with tests/references/NAME.
Result CompareWithReference(const std::string& name, Tolerance tolerance = {});

} // namespace PixelReference
