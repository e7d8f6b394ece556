#pragma once
// tessaly check and tessaly transform: the validity checks of a body, and a
// body moved, turned or scaled for good.

#include <string>

// Exit status of check when the body fails a check (1 is an error, 2 a
// usage error).
constexpr int kCheckFoundFailures = 3;

// tessaly check IN: prints each check and whether the body passes it, then
// "ok" or "failures found". Returns 0, kCheckFoundFailures, or 1 with a
// message in error.
int RunCheck(const std::string& file, std::string& error);
// tessaly transform IN OUT (--matrix M00 .. M33 | --translate X Y Z |
// --rotate AX AY AZ DEGREES | --scale S | --scale SX SY SZ)...: the steps in
// the order given. Returns the exit status; messages go to error.
int RunTransform(int argc, char** argv, std::string& error);
