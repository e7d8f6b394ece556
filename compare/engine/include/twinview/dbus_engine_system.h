// The Draftora stand-in engine reached over the D-Bus session bus: attached
// when it runs, started beside this program when it does not.
#pragma once

#include "twinview/engine_roles.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct DbusEngineOptions {
    // The engine program; empty: "draftora-engine" beside this program.
    std::string program;
    // Extra command-line arguments for a started engine.
    std::vector<std::string> arguments;
    // How long a started engine may take to appear on the bus.
    std::chrono::milliseconds startTimeout{10000};
    // Every call is bounded, so that a hung engine cannot hang Twinview;
    // opening a drawing and running a macro get longer.
    std::chrono::milliseconds callTimeout{5000};
    std::chrono::milliseconds longCallTimeout{60000};
};

std::shared_ptr<IEngineSystem> MakeDbusEngineSystem(DbusEngineOptions options = {});

// The path of "draftora-engine" in the directory of the running program.
std::string DefaultEngineProgram();
