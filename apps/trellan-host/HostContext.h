#pragma once
// What every connection of the host shares. All of it lives on the host's one I/O
// thread, so nothing here needs a lock.

#include "AccessPolicy.h"
#include "DemoReceiver.h"
#include "HostOptions.h"
#include "SessionSlots.h"
#include "StaticFiles.h"

#include <chrono>
#include <memory>
#include <string>

struct HostContext {
    HostContext(const HostOptions& options, std::string sessionProgram)
        : options(options), policy(options.port), files(!options.demoFolder.empty()),
          sessionProgram(std::move(sessionProgram)), slots(options.maxSessions, options.maxSessionsPerOrigin)
    {
        if (!options.demoFolder.empty())
            demo = std::make_unique<DemoReceiver>(options.demoFolder);
    }

    const HostOptions options;
    AccessPolicy policy;
    StaticFiles files;
    std::unique_ptr<DemoReceiver> demo; // with --demo only
    const std::string sessionProgram;
    SessionSlots slots;
    std::string dropRoot; // holds the sessions' folders for dropped files
    std::chrono::steady_clock::time_point lastRequest = std::chrono::steady_clock::now(); // for the idle exit
};
